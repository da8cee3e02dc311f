// The board time of a run: what its port traffic takes on the real board,
// 1 µs per port access plus every wait, counted the same on the simulated
// board and on a real port (as scripts/figures counts it from a trace).
#pragma once

#include <cstdint>

#include "platform/port_io.h"

namespace fp::cli {

class BoardTime final : public PortIo, public Clock {
 public:
  BoardTime(PortIo& port, Clock& clock) : port_(port), clock_(clock) {}

  void out(uint16_t port, uint8_t value) override {
    ++accesses_;
    port_.out(port, value);
  }
  uint8_t in(uint16_t port) override {
    ++accesses_;
    return port_.in(port);
  }
  void sleep_ms(uint32_t milliseconds) override {
    waited_ms_ += milliseconds;
    clock_.sleep_ms(milliseconds);
  }

  [[nodiscard]] uint64_t accesses() const { return accesses_; }
  [[nodiscard]] uint64_t waited_ms() const { return waited_ms_; }
  [[nodiscard]] uint64_t microseconds() const { return accesses_ + waited_ms_ * 1000; }

 private:
  PortIo& port_;
  Clock& clock_;
  uint64_t accesses_ = 0;
  uint64_t waited_ms_ = 0;
};

}  // namespace fp::cli
