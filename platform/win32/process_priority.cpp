#include "platform/win32/process_priority.h"

#include <windows.h>

namespace fp {

void ProcessPriority::set_priority_class(PriorityClass priority_class) {
  SetPriorityClass(GetCurrentProcess(), priority_class == PriorityClass::high
                                            ? HIGH_PRIORITY_CLASS
                                            : NORMAL_PRIORITY_CLASS);
}

}  // namespace fp
