#include "platform/system_clock.h"

#include <chrono>
#include <thread>

namespace fp {

void SystemClock::sleep_ms(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace fp
