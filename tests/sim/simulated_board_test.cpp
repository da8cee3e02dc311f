#include "sim/simulated_board.h"

#include <gtest/gtest.h>

#include "bus/programmer_bus.h"
#include "sim/following_socket.h"
#include "sim/model_factory.h"
#include "tests/support/fake_main_view.h"

namespace fp::sim {
namespace {

// A chip that drives a fixed byte while /OE (control bit 6) is low and
// remembers the latch loads it saw.
class ProbeChip final : public ChipModel {
 public:
  std::string_view model_name() const override { return "probe"; }
  void on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) override {
    loads.emplace_back(select, lines.data, now_us);
    if (lines.address_low == 0xEE) violation("probe saw 0xEE", "зонд увидел 0xEE");
  }
  std::optional<uint8_t> drive(const BoardLines& lines, uint64_t) override {
    if ((lines.control & 0x40) == 0) return value;
    return std::nullopt;
  }
  std::vector<uint8_t>* memory(std::string_view) override { return nullptr; }

  uint8_t value = 0x3C;
  std::vector<std::tuple<uint8_t, uint8_t, uint64_t>> loads;
};

class BoardTest : public ::testing::Test {
 protected:
  SimulatedBoard board;
  test::FakeMainView view;
  ProgrammerBus bus{board, view};
};

TEST_F(BoardTest, StrobeLoadsTheSelectedLatchFromTheDataRegister) {
  bus.latch_write(LATCH_ADDR_LO, 0x34);
  bus.latch_write(LATCH_ADDR_MID, 0x12);
  bus.latch_write(LATCH_CTRL, 0x95);
  bus.latch_write(LATCH_DATA, 0xA5);
  EXPECT_EQ(board.lines().address(), 0x51234u);
  EXPECT_EQ(board.lines().data, 0xA5);
  board.out(DATA_PORT, 0x00);  // no strobe: no latch changes
  board.out(CONTROL_PORT, 0x02);
  EXPECT_EQ(board.lines().control, 0x95);
}

TEST_F(BoardTest, EmptySocketReadsFFAndUnusedStatusBitsReadOne) {
  bus.latch_write(LATCH_CTRL, CTRL_READ);
  EXPECT_EQ(bus.read_nibbles(), 0xFF);
  board.out(CONTROL_PORT, 0x00);
  EXPECT_EQ(board.in(STATUS_PORT)&0x07, 0x07);
}

TEST_F(BoardTest, NibbleMultiplexerShowsTheChipsByte) {
  auto chip = std::make_unique<ProbeChip>();
  ProbeChip& probe = *chip;
  board.insert(std::move(chip));
  bus.latch_write(LATCH_CTRL, CTRL_READ);
  EXPECT_EQ(bus.read_nibbles(), 0x3C);
  probe.value = 0xD2;
  EXPECT_EQ(bus.bus_read_cycle(), 0xD2);
  // The chip saw every latch load with its time.
  ASSERT_FALSE(probe.loads.empty());
  EXPECT_EQ(std::get<0>(probe.loads.front()), LATCH_CTRL);
  EXPECT_LT(std::get<2>(probe.loads.front()), std::get<2>(probe.loads.back()));
}

TEST_F(BoardTest, BusContentionAndChipViolationsAreRecordedAndReported) {
  board.insert(std::make_unique<ProbeChip>());
  std::vector<std::string> heard;
  board.set_violation_listener([&](const std::string& text) { heard.push_back(text); });
  bus.latch_write(LATCH_CTRL, 0x10);  // chip drives, and so does the data latch
  bus.latch_write(LATCH_DATA, 0x00);  // still contended: reported once
  bus.latch_write(LATCH_CTRL, CTRL_IDLE);
  bus.latch_write(LATCH_ADDR_LO, 0xEE);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_NE(heard[0].find("contention"), std::string::npos);
  EXPECT_EQ(heard[1], "probe saw 0xEE");
  EXPECT_EQ(board.violations(), heard);
}

TEST_F(BoardTest, NotesAreInTheBoardsLanguageForTheChipInAndEveryChipPutInLater) {
  board.set_note_language(NoteLanguage::russian);
  board.insert(std::make_unique<ProbeChip>());
  bus.latch_write(LATCH_CTRL, 0x10);
  bus.latch_write(LATCH_CTRL, CTRL_IDLE);
  bus.latch_write(LATCH_ADDR_LO, 0xEE);
  ASSERT_EQ(board.violations().size(), 2u);
  EXPECT_NE(board.violations()[0].find("конфликт на шине"), std::string::npos);
  EXPECT_EQ(board.violations()[1], "зонд увидел 0xEE");
  // Back to English: the chip already in the socket follows.
  board.set_note_language(NoteLanguage::english);
  bus.latch_write(LATCH_ADDR_LO, 0x00);
  bus.latch_write(LATCH_ADDR_LO, 0xEE);
  EXPECT_EQ(board.violations().back(), "probe saw 0xEE");
}

TEST_F(BoardTest, TimerRunsForItsPeriodOfStatusReadsAfter08Then00) {
  board.set_timer_period(3);
  EXPECT_EQ(board.in(STATUS_PORT)&0x08, 0);  // not started
  board.out(CONTROL_PORT, 0x08);
  board.out(CONTROL_PORT, 0x00);
  int set = 0;
  while ((board.in(STATUS_PORT)&0x08) != 0 && set < 10) ++set;
  EXPECT_EQ(set, 3);
  board.set_timer_period(std::nullopt);
  board.out(CONTROL_PORT, 0x08);
  board.out(CONTROL_PORT, 0x00);
  for (int i = 0; i < 1000; ++i) ASSERT_NE(board.in(STATUS_PORT)&0x08, 0);
}

TEST_F(BoardTest, EveryAccessCostsAMicrosecondAndSleepsAdvanceTheClock) {
  VirtualClock clock(board);
  bus.latch_write(LATCH_DATA, 1);
  EXPECT_EQ(board.now_us(), 4u);
  clock.sleep_ms(50);
  EXPECT_EQ(board.now_us(), 50004u);
  EXPECT_EQ(board.port_accesses(), 4u);
}

TEST_F(BoardTest, ProgrammingVoltageIsTheControlLatchBit3) {
  bus.bus_reset_vpp();
  EXPECT_TRUE(board.vpp_on());
  bus.bus_reset();
  EXPECT_FALSE(board.vpp_on());
  EXPECT_EQ(board.vpp_switch_ons(), 1u);
}

TEST(FollowingSocket, EachChipTypeKeepsItsChipForTheRun) {
  for (const std::string_view name : model_names()) {
    ASSERT_NE(make_chip_model(name), nullptr) << name;
  }
  SimulatedBoard board;
  FollowingSocket socket(board);
  socket.follow("AT49F512");
  ChipModel* first = board.chip();
  ASSERT_NE(first, nullptr);
  socket.follow("W29EE512");
  EXPECT_NE(board.chip(), first);
  socket.follow("AT49F512");
  EXPECT_EQ(board.chip(), first);
  socket.follow("no such chip");
  EXPECT_EQ(board.chip(), nullptr);
}

}  // namespace
}  // namespace fp::sim
