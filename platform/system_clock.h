// Real waits and a priority switch for running on hardware.
#pragma once

#include "platform/port_io.h"

namespace fp {

class SystemClock final : public Clock {
 public:
  void sleep_ms(uint32_t milliseconds) override;
};

// Where the process may not change its scheduling class the switch does nothing.
class NoPriority final : public Priority {
 public:
  void set_priority_class(PriorityClass) override {}
};

}  // namespace fp
