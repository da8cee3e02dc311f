#include "chips/at89c/at89c_bus.h"

#include "chips/at89c/at89c_commands.h"

namespace fp {

void at89c_reset_counter(ProgrammerBus& bus) {
  bus.latch_write(LATCH_CTRL, AT89C_CTRL_COUNTER_RESET);
  bus.latch_write(LATCH_CTRL, AT89C_CTRL_RUN);
}

void at89c_skip(ProgrammerBus& bus, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) at89c_clock_pulse(bus, AT89C_MODE_READ);
}

void at89c_clock_pulse(ProgrammerBus& bus, uint8_t mode) {
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(mode | AT89C_CLOCK));
  bus.latch_write(LATCH_ADDR_LO, mode);
}

}  // namespace fp
