// A parallel port the process has taken from the system. Letting it go first
// sends a farewell (the board's idle state, programming voltage off), so a
// board is never left powered up by a program that ended.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/port_io.h"

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

  // The first access that failed, with the reason; empty while all went well.
  [[nodiscard]] const std::string& failure() const { return failure_; }

 protected:
  virtual void let_go() noexcept = 0;
  void record_failure(std::string text) {
    if (failure_.empty()) failure_ = std::move(text);
  }
  [[nodiscard]] bool released() const { return released_.load(); }

 private:
  std::vector<PortWrite> farewell_;
  std::atomic<bool> released_{false};
  std::string failure_;
};

}  // namespace fp::posix
