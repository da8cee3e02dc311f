// The board a command-line run talks to: the simulated board with its chips
// (and the file that keeps them between runs), or a parallel port held for
// the run; with the trace of every port access when asked for. Leaving, the
// board goes idle.
#pragma once

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontends/cli/board_file.h"
#include "frontends/cli/board_time.h"
#include "frontends/cli/port_choice.h"
#include "frontends/cli/run_outcome.h"
#include "frontends/headless/trace.h"
#include "platform/port_io.h"
#include "platform/posix/held_port.h"
#include "platform/posix/realtime_priority.h"
#include "platform/posix/release_on_signal.h"
#include "platform/system_clock.h"
#include "sim/following_socket.h"
#include "sim/simulated_board.h"

namespace fp::cli {

// The control latch loaded with CTRL_IDLE: bus released, programming voltage off.
std::vector<posix::PortWrite> idle_board_writes();

class BoardConnection {
 public:
  explicit BoardConnection(Console& console) : console_(console) {}

  // What a run opens besides the board: its image file ("-": a standard
  // stream), none of which the trace may overwrite.
  struct RunFiles {
    std::string image;             // empty: the command takes none
    bool image_is_output = false;  // "-" names standard output (read)
  };

  // The --port and --trace values; false after noting why on the outcome.
  bool open(const std::string& port, const std::string& trace_path, const RunFiles& files,
            RunOutcome& outcome);
  // Lets the simulated chips finish, idles the board, keeps the chips in
  // their file (unless keep_chips is false: the file stays as it was) and
  // releases a held port.
  void close(RunOutcome& outcome, bool keep_chips = true);

  [[nodiscard]] PortIo& port() { return *port_; }
  [[nodiscard]] Clock& clock() { return *clock_; }
  [[nodiscard]] Priority& priority() { return *priority_; }
  // Microseconds for timing page loads: the simulated board's own time, or
  // the machine's monotonic clock on a real port.
  [[nodiscard]] std::function<uint64_t()> now_us();
  // The simulated board's socket; nothing on a real port.
  [[nodiscard]] sim::FollowingSocket* socket() { return socket_.get(); }
  // The run's board time so far; nothing before the board is open.
  [[nodiscard]] const BoardTime* board_time() const { return board_time_.get(); }
  // The simulated board's file; empty when there is none.
  [[nodiscard]] const std::string& store_path() const { return store_path_; }

 private:
  bool open_simulated(const SimulatedPort& choice, RunOutcome& outcome);

  Console& console_;
  sim::SimulatedBoard board_;
  sim::VirtualClock virtual_clock_{board_};
  sim::RecordedPriority recorded_priority_;
  std::unique_ptr<sim::FollowingSocket> socket_;
  std::string store_path_;
  // Held from loading the chips to saving them.
  std::unique_ptr<BoardFile> board_file_;
  std::vector<std::string> stored_models_;
  std::unique_ptr<posix::HeldPort> held_port_;
  std::unique_ptr<posix::ReleaseOnSignal> signal_guard_;
  SystemClock system_clock_;
  std::unique_ptr<posix::RealtimePriority> realtime_priority_;
  std::string trace_path_;
  std::ofstream trace_file_;
  std::unique_ptr<headless::Trace> trace_;
  std::unique_ptr<BoardTime> board_time_;
  PortIo* port_ = nullptr;
  Clock* clock_ = nullptr;
  Priority* priority_ = nullptr;
};

}  // namespace fp::cli
