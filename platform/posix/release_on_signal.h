// While a guard lives, an ending signal (SIGINT, SIGTERM, SIGHUP, SIGQUIT)
// first releases the held port, then ends the process as the signal would
// have without the guard.
#pragma once

#include <array>
#include <csignal>

#include "platform/posix/held_port.h"

namespace fp::posix {

class ReleaseOnSignal {
 public:
  explicit ReleaseOnSignal(HeldPort& port);
  ~ReleaseOnSignal();
  ReleaseOnSignal(const ReleaseOnSignal&) = delete;
  ReleaseOnSignal& operator=(const ReleaseOnSignal&) = delete;

  static constexpr std::array<int, 4> SIGNALS{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

 private:
  std::array<struct sigaction, SIGNALS.size()> previous_{};
};

}  // namespace fp::posix
