// Command bytes and limits of the AM28F001. Every command needs the
// programming voltage; without it the chip is a read-only memory.
#pragma once

#include <cstdint>

namespace fp {

inline constexpr uint8_t AM28F_RESET = 0xFF;          // back to reading the array
inline constexpr uint8_t AM28F_READ_ID = 0x90;        // reads return the codes (A0 = 0, 1)
inline constexpr uint8_t AM28F_PROGRAM_SETUP = 0x40;  // the next write starts a program pulse
inline constexpr uint8_t AM28F_PROGRAM_VERIFY =
    0xC0;                                            // ends the pulse; the next read shows the cell
inline constexpr uint8_t AM28F_ERASE = 0x20;         // written twice: starts an erase pulse
inline constexpr uint8_t AM28F_ERASE_VERIFY = 0xA0;  // ends the pulse; reads the latched address

// The chip's programming algorithm allows 25 pulses for a byte and 1000
// erase pulses for the whole chip.
inline constexpr uint32_t PROGRAM_PULSE_LIMIT = 25;
inline constexpr uint32_t ERASE_PULSE_LIMIT = 1000;
inline constexpr uint32_t ERASE_PULSE_MS = 10;

}  // namespace fp
