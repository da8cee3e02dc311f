#include <windows.h>

#include "platform/system_clock.h"

namespace fp {

void SystemClock::sleep_ms(uint32_t milliseconds) {
  Sleep(milliseconds);
}

}  // namespace fp
