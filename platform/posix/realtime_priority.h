// The high priority class of the page loads as real-time scheduling: while a
// page loads nothing of lower priority runs on its processor, so the gaps
// between its bytes stay within the chip's byte-load limit.
#pragma once

#include <functional>

#include "platform/port_io.h"
#include "platform/posix/system_calls.h"

namespace fp::posix {

// Above every time-shared process, below the kernel's interrupt threads (50).
inline constexpr int PAGE_LOAD_PRIORITY = 10;

class RealtimePriority final : public Priority {
 public:
  // refused: told once, with the errno, when the process may not switch.
  RealtimePriority(SystemCalls& calls, std::function<void(int error)> refused)
      : calls_(calls), refused_told_(std::move(refused)) {}

  void set_priority_class(PriorityClass priority_class) override;

 private:
  SystemCalls& calls_;
  std::function<void(int error)> refused_told_;
  bool raised_ = false;
  bool refused_ = false;
};

}  // namespace fp::posix
