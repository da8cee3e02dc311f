// The probe's board check: the board's timer must rise and fall, so a port
// with no board behind it (status lines floating high or held low) fails.
#include "frontends/cli/port_probe.h"

#include <gtest/gtest.h>

#include "sim/simulated_board.h"

namespace fp::cli {
namespace {

// Status lines that read the same whatever is written: a port with no board.
class FixedStatusPort final : public PortIo {
 public:
  explicit FixedStatusPort(uint8_t status) : status_(status) {}
  void out(uint16_t, uint8_t) override {}
  uint8_t in(uint16_t) override { return status_; }

 private:
  uint8_t status_;
};

TEST(BoardTimer, ABoardsTimerRisesAndFallsAfterItsPeriod) {
  sim::SimulatedBoard board;
  board.set_timer_period(250);
  const TimerRun run = run_board_timer(board);
  EXPECT_TRUE(run.rose);
  EXPECT_TRUE(run.fell);
  EXPECT_EQ(run.polls, 250u);
}

TEST(BoardTimer, NoBoardNeverPasses) {
  FixedStatusPort floating(0xFF);
  const TimerRun high = run_board_timer(floating);
  EXPECT_TRUE(high.rose);
  EXPECT_FALSE(high.fell);

  FixedStatusPort held_low(0x00);
  EXPECT_FALSE(run_board_timer(held_low).rose);

  sim::SimulatedBoard stuck;
  stuck.set_timer_period(std::nullopt);
  EXPECT_FALSE(run_board_timer(stuck).fell);
}

}  // namespace
}  // namespace fp::cli
