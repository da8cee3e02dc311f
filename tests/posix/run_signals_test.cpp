// The signals a production loop holds around its chips' runs: a run inside
// lets go without letting them through, a signal during it is taken, and the
// loop's wait wakes for a signal or for input at once.
#include "platform/posix/run_signals.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

namespace fp::posix {
namespace {

using namespace std::chrono_literals;

TEST(RunSignals, AnInnerLetGoKeepsThemHeldAndTakesWhatCame) {
  RunSignals signals;
  signals.hold();  // the loop
  signals.hold();  // a chip's run
  raise(SIGINT);
  signals.let_go();
  // Still alive: SIGINT is still blocked, and the run saw it.
  EXPECT_EQ(signals.caught(), SIGINT);
  EXPECT_EQ(signals.wait(5s), RunSignals::Woken::signal);
  signals.let_go();
}

TEST(RunSignals, WaitWakesForASignalInputOrTheTime) {
  RunSignals signals;
  signals.hold();
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(signals.wait(30ms), RunSignals::Woken::timeout);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 30ms);

  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  EXPECT_EQ(signals.wait(30ms, pipe_ends[0]), RunSignals::Woken::timeout);
  ASSERT_EQ(write(pipe_ends[1], "\n", 1), 1);
  EXPECT_EQ(signals.wait(5s, pipe_ends[0]), RunSignals::Woken::input);

  // A line is taken up to its end and no further.
  EXPECT_EQ(signals.wait_for_line(pipe_ends[0]), RunSignals::Line::read);
  ASSERT_EQ(write(pipe_ends[1], "x\nnext", 6), 6);
  EXPECT_EQ(signals.wait_for_line(pipe_ends[0]), RunSignals::Line::read);
  char rest[8] = {};
  ASSERT_EQ(read(pipe_ends[0], rest, sizeof rest), 4);
  EXPECT_STREQ(rest, "next");

  raise(SIGTERM);
  EXPECT_EQ(signals.wait(5s, pipe_ends[0]), RunSignals::Woken::signal);
  EXPECT_EQ(signals.caught(), SIGTERM);
  close(pipe_ends[1]);
  EXPECT_EQ(signals.wait_for_line(pipe_ends[0]), RunSignals::Line::signal);
  close(pipe_ends[0]);
  signals.let_go();
}

TEST(RunSignals, TheEndOfInputEndsTheWaitForALine) {
  RunSignals signals;
  signals.hold();
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  ASSERT_EQ(write(pipe_ends[1], "no end", 6), 6);
  close(pipe_ends[1]);
  EXPECT_EQ(signals.wait_for_line(pipe_ends[0]), RunSignals::Line::ended);
  close(pipe_ends[0]);
  signals.let_go();
}

}  // namespace
}  // namespace fp::posix
