// The parallel port by direct I/O instructions: the process asks for the
// three registers with ioperm, which needs root (CAP_SYS_RAWIO).
#pragma once

#include <memory>
#include <string>

#include "platform/posix/held_port.h"
#include "platform/posix/system_calls.h"

namespace fp::posix {

inline constexpr uint16_t DEFAULT_DIRECT_BASE = 0x378;

class DirectPort final : public HeldPort {
 public:
  // base: the data register; status and control follow it. Nothing, and
  // why in failure, when the process may not use the ports.
  static std::unique_ptr<DirectPort> open(SystemCalls& calls, uint16_t base,
                                          SystemFailure& failure);
  ~DirectPort() override { release(); }
  DirectPort(const DirectPort&) = delete;
  DirectPort& operator=(const DirectPort&) = delete;

  void out(uint16_t port, uint8_t value) override;
  uint8_t in(uint16_t port) override;

 private:
  DirectPort(SystemCalls& calls, uint16_t base) : calls_(calls), base_(base) {}
  void let_go() noexcept override;
  [[nodiscard]] bool maps(uint16_t port) const { return port >= DATA_PORT && port <= CONTROL_PORT; }

  SystemCalls& calls_;
  uint16_t base_;
};

}  // namespace fp::posix
