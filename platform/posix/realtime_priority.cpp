#include "platform/posix/realtime_priority.h"

#include <sched.h>

#include <cstring>

namespace fp::posix {

void RealtimePriority::set_priority_class(PriorityClass priority_class) {
  if (priority_class == PriorityClass::high) {
    if (refused_) return;
    if (calls_.set_scheduler(SCHED_FIFO, PAGE_LOAD_PRIORITY) == 0) {
      raised_ = true;
      return;
    }
    refused_ = true;
    warnings_ << "programmer: no real-time scheduling (" << std::strerror(calls_.last_error())
              << "): page loads can then be interrupted\n";
    warnings_.flush();
    return;
  }
  if (!raised_) return;
  calls_.set_scheduler(SCHED_OTHER, 0);
  raised_ = false;
}

}  // namespace fp::posix
