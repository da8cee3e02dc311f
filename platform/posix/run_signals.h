// The signals that end a command-line run: SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// SIGPIPE and SIGXFSZ. While the run changes a chip they wait (blocked), so
// that the change is finished and the board file saved before the run stops;
// SIGPIPE and SIGXFSZ never end the process at once: the write that raised
// them fails instead, and the run idles the board on its way out.
#pragma once

#include <array>
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

  // From now on every one of SIGNALS waits.
  void hold();
  // The signals that came while held are taken (not delivered) and they end
  // the process as usual again.
  void let_go();
  // While held: let them through for a moment (a question on the terminal
  // can be broken off with Ctrl-C), unless one is waiting already.
  void pause();
  void resume();

  // The first of SIGNALS that came (while held, or SIGPIPE and SIGXFSZ at
  // any time); 0 when none did.
  [[nodiscard]] int caught() const;

 private:
  void take_pending();

  bool held_ = false;
  bool paused_ = false;
  sigset_t previous_mask_{};
  std::array<struct sigaction, 2> previous_actions_{};
};

// "SIGINT" for SIGINT.
std::string signal_name(int signal_number);

}  // namespace fp::posix
