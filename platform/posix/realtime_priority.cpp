#include "platform/posix/realtime_priority.h"

#include <sched.h>

namespace fp::posix {

void RealtimePriority::set_priority_class(PriorityClass priority_class) {
  if (priority_class == PriorityClass::high) {
    if (refused_) return;
    if (calls_.set_scheduler(SCHED_FIFO, PAGE_LOAD_PRIORITY) == 0) {
      raised_ = true;
      return;
    }
    refused_ = true;
    if (refused_told_) refused_told_(calls_.last_error());
    return;
  }
  if (!raised_) return;
  calls_.set_scheduler(SCHED_OTHER, 0);
  raised_ = false;
}

}  // namespace fp::posix
