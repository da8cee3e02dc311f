// The priority class of the whole process, raised around the timed page loads.
#pragma once

#include "platform/port_io.h"

namespace fp {

class ProcessPriority final : public Priority {
 public:
  void set_priority_class(PriorityClass priority_class) override;
};

}  // namespace fp
