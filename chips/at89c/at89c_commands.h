// The AT89C2051/4051 have no address pins: the address-low latch carries
// their programming-mode and strobe lines instead, and the chip counts
// addresses in an internal counter that the programmer resets and clocks.
#pragma once

#include <cstdint>

#include "bus/programmer_bus.h"

namespace fp {

// Address-low latch: bits 0-3 select the mode, bits 4 and 5 are strobes.
inline constexpr uint8_t AT89C_PROG = 0x10;   // program strobe, low during a pulse
inline constexpr uint8_t AT89C_CLOCK = 0x20;  // a high pulse advances the address counter

// Resting patterns: the mode with the program strobe high and the clock low.
inline constexpr uint8_t AT89C_MODE_READ = 0x13;       // chip shows the code byte
inline constexpr uint8_t AT89C_MODE_WRITE = 0x17;      // a program pulse writes the data latch
inline constexpr uint8_t AT89C_MODE_ERASE = 0x18;      // a long program pulse erases all
inline constexpr uint8_t AT89C_MODE_SIGNATURE = 0x10;  // chip shows its signature bytes

// Control latch values. The step from COUNTER_RESET to RUN takes the chip's
// reset line high again, which sets its address counter to 0; reads happen
// under RUN, with the data latch off the bus.
inline constexpr uint8_t AT89C_CTRL_COUNTER_RESET = 0x80;
inline constexpr uint8_t AT89C_CTRL_RUN = CTRL_IDLE;
inline constexpr uint8_t AT89C_CTRL_ERASE_VPP = CTRL_IDLE | CTRL_VPP;
// Data latch on the chip's data lines and the programming voltage on.
inline constexpr uint8_t AT89C_CTRL_WRITE_VPP = CTRL_WRITE_SETUP | CTRL_VPP;
inline constexpr uint8_t AT89C_CTRL_WRITE_END = 0xD0;

// Sleeps: the datasheet's longest byte write, the shortest chip-erase pulse.
inline constexpr uint32_t AT89C_BYTE_WRITE_MS = 3;
inline constexpr uint32_t AT89C_ERASE_PULSE_MS = 10;

// Signature bytes at counter positions 0, 1 and 2.
inline constexpr uint32_t AT89C_SIGNATURE_BYTES = 3;

}  // namespace fp
