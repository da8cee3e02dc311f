// Port, clock and priority decorators that write every event as one line of
// the trace file: "out 378 90", "in 379 F7", "sleep 50", "priority high".
#pragma once

#include <ostream>

#include "platform/port_io.h"

namespace fp::headless {

class Trace final : public PortIo, public Clock, public Priority {
 public:
  Trace(PortIo& port, Clock& clock, Priority& priority, std::ostream* sink)
      : port_(port), clock_(clock), priority_(priority), sink_(sink) {}

  void out(uint16_t port, uint8_t value) override;
  uint8_t in(uint16_t port) override;
  void sleep_ms(uint32_t milliseconds) override;
  void set_priority_class(PriorityClass priority_class) override;

 private:
  PortIo& port_;
  Clock& clock_;
  Priority& priority_;
  std::ostream* sink_;  // null: pass everything through unrecorded
};

}  // namespace fp::headless
