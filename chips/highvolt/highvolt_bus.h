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

struct ChipCodes {
  uint8_t manufacturer;
  uint8_t device;
};

// The chip's read-identifier command, then its two codes: the manufacturer
// at A0 = 0 and the device at A0 = 1. Only A0-A7 are loaded: the codes
// repeat over the rest of the address space.
ChipCodes hv_read_codes(ProgrammerBus& bus, uint8_t read_id_command);

}  // namespace fp
