#include <windows.h>

#include "platform/system_clock.h"
#include "platform/win32/thread_alive.h"

namespace fp {

void SystemClock::sleep_ms(uint32_t milliseconds) {
  Sleep(milliseconds);
  // Erase and write waits add up to minutes on the window's thread.
  show_thread_alive();
}

}  // namespace fp
