// The signals that end a command-line run: SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// SIGPIPE and SIGXFSZ. While the run changes a chip they wait (blocked), so
// that the change is finished and the board file saved before the run stops;
// SIGPIPE and SIGXFSZ never end the process at once: the write that raised
// them fails instead, and the run idles the board on its way out.
#pragma once

#include <array>
#include <chrono>
#include <csignal>
#include <string>

namespace fp::posix {

class RunSignals {
 public:
  RunSignals();
  ~RunSignals();
  RunSignals(const RunSignals&) = delete;
  RunSignals& operator=(const RunSignals&) = delete;

  static constexpr std::array<int, 6> SIGNALS{SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ};

  // From now on every one of SIGNALS waits. Holds nest: a run inside a
  // loop that holds them keeps them held when it lets go.
  void hold();
  // The signals that came while held are taken (not delivered); when the
  // outermost hold lets go they end the process as usual again.
  void let_go();
  // While held: let them through for a moment (a question on the terminal
  // can be broken off with Ctrl-C), unless one is waiting already.
  void pause();
  void resume();

  // The first of SIGNALS that came (while held, or SIGPIPE and SIGXFSZ at
  // any time); 0 when none did.
  [[nodiscard]] int caught() const;
  // caught(), counting the signals that wait while held: whether one came
  // before a step that must not begin once the run is to stop.
  [[nodiscard]] int caught_so_far();

  // While held: sleeps until one of SIGNALS comes (then caught() names it),
  // the descriptor input_fd (if not -1) has something to read, or the time
  // is up. What woke it: a signal, input, or neither.
  enum class Woken { signal, input, timeout };
  Woken wait(std::chrono::milliseconds limit, int input_fd = -1);
  // While held: until a whole line came on input_fd (read a byte at a time,
  // so nothing after it is taken), its end (or an error), or a signal.
  enum class Line { read, ended, signal };
  Line wait_for_line(int input_fd);

 private:
  void take_pending();

  bool held_ = false;
  int depth_ = 0;
  bool paused_ = false;
  sigset_t previous_mask_{};
  std::array<struct sigaction, 2> previous_actions_{};
};

// "SIGINT" for SIGINT.
std::string signal_name(int signal_number);

}  // namespace fp::posix
