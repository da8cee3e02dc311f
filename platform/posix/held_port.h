// A parallel port the process has taken from the system. Letting it go first
// sends a farewell (the board's idle state, programming voltage off), so a
// board is never left powered up by a program that ended.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/port_io.h"
#include "platform/posix/system_failure.h"

namespace fp::posix {

struct PortWrite {
  uint16_t port;
  uint8_t value;
};

class HeldPort : public PortIo {
 public:
  // Writes the farewell and releases the port, once; safe in a signal handler.
  void release() noexcept;

  // The writes release() sends before it lets the port go.
  void set_farewell(std::vector<PortWrite> writes) { farewell_ = std::move(writes); }

  // The first access that failed; nothing while all went well.
  [[nodiscard]] const std::optional<SystemFailure>& failure() const { return failure_; }

 protected:
  virtual void let_go() noexcept = 0;
  void record_failure(SystemFailure failure) {
    if (!failure_) failure_ = std::move(failure);
  }
  [[nodiscard]] bool released() const { return released_.load(); }

 private:
  std::vector<PortWrite> farewell_;
  std::atomic<bool> released_{false};
  std::optional<SystemFailure> failure_;
};

}  // namespace fp::posix
