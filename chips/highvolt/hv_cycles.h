// The two bus cycles of the high-voltage family. Both carry the programming
// voltage bit while vpp_flag is set, so a read between two commands leaves
// the voltage on.
#pragma once

#include <cstdint>

#include "bus/programmer_bus.h"

namespace fp {

// A command or data write at the address the latches hold; loads no address latch.
void hv_command_write(ProgrammerBus& bus, uint8_t value);
// A read at the address the latches hold.
uint8_t hv_read_cycle(ProgrammerBus& bus);

}  // namespace fp
