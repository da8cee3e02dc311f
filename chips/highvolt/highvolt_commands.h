// Command bytes, status bits and limits of the high-voltage flash chips.

// i28F001BX.
#pragma once

#include <cstdint>

namespace fp {

inline constexpr uint8_t I28F_READ_ARRAY = 0xFF;     // reads return the memory array
inline constexpr uint8_t I28F_READ_ID = 0x90;        // reads return the codes (A0 = 0, 1)
inline constexpr uint8_t I28F_READ_STATUS = 0x70;    // the next read returns the status register
inline constexpr uint8_t I28F_CLEAR_STATUS = 0x50;   // clears the error bits
inline constexpr uint8_t I28F_ERASE_SETUP = 0x20;    // erase the block holding the latched address
inline constexpr uint8_t I28F_ERASE_CONFIRM = 0xD0;  // starts the erase set up before
inline constexpr uint8_t I28F_PROGRAM_SETUP = 0x40;  // the next write programs its byte

inline constexpr uint8_t SR_READY = 0x80;           // the running erase or program has ended
inline constexpr uint8_t SR_ERASE_ERRORS = 0x38;    // erase error, program error, voltage low
inline constexpr uint8_t SR_PROGRAM_ERRORS = 0x18;  // program error, voltage low

// A block erase takes up to 2.4 s; ten one-second waits leave room for it.
inline constexpr uint32_t ERASE_POLL_LIMIT = 10;
inline constexpr uint32_t ERASE_POLL_INTERVAL_MS = 1000;
// A byte programs in microseconds; a chip that stays busy for this many
// status reads has failed, and the byte counts as not programmed.
inline constexpr uint32_t PROGRAM_POLL_LIMIT = 10000;

// AM28F001. Every command needs the programming voltage; without it the
// chip is a read-only memory.
inline constexpr uint8_t AM28F_RESET = 0xFF;          // back to reading the array
inline constexpr uint8_t AM28F_READ_ID = 0x90;        // reads return the codes (A0 = 0, 1)
inline constexpr uint8_t AM28F_PROGRAM_SETUP = 0x40;  // the next write starts a program pulse
inline constexpr uint8_t AM28F_PROGRAM_VERIFY =
    0xC0;                                            // ends the pulse; the next read shows the cell
inline constexpr uint8_t AM28F_ERASE = 0x20;         // written twice: starts an erase pulse
inline constexpr uint8_t AM28F_ERASE_VERIFY = 0xA0;  // ends the pulse; reads the latched address

// The chip's programming algorithm allows 25 pulses for a byte and 1000
// erase pulses for the whole chip.
inline constexpr uint32_t AM28F_PROGRAM_PULSE_LIMIT = 25;
inline constexpr uint32_t AM28F_ERASE_PULSE_LIMIT = 1000;
inline constexpr uint32_t AM28F_ERASE_PULSE_MS = 10;

}  // namespace fp
