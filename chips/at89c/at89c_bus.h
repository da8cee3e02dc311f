// Moving the chip's internal address counter: back to 0, or on by clock pulses.
#pragma once

#include <cstdint>

#include "bus/programmer_bus.h"

namespace fp {

// Begins every operation; afterwards the counter stands at 0.
void at89c_reset_counter(ProgrammerBus& bus);

// Advances the counter by count with read-mode clock pulses.
void at89c_skip(ProgrammerBus& bus, uint32_t count);

// One clock pulse in the mode whose resting pattern is given.
void at89c_clock_pulse(ProgrammerBus& bus, uint8_t mode);

}  // namespace fp
