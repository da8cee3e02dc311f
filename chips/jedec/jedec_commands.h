// Command sequences and timings of the software-protected flash chips. Every
// command is a short series of bus write cycles: two unlock cycles, then the
// command byte, all at fixed addresses below 0x10000 (A16-A18 low).
#pragma once

#include <array>
#include <cstdint>

#include "chips/common/ready_poll.h"

namespace fp {

struct BusCycle {
  uint16_t address;
  uint8_t data;
};

inline constexpr uint16_t UNLOCK_ADDR_1 = 0x5555;  // first unlock cycle and the command byte
inline constexpr uint16_t UNLOCK_ADDR_2 = 0x2AAA;  // second unlock cycle

inline constexpr BusCycle UNLOCK_1{UNLOCK_ADDR_1, 0xAA};
inline constexpr BusCycle UNLOCK_2{UNLOCK_ADDR_2, 0x55};

// Identification mode: manufacturer code at A0 = 0, device code at A0 = 1.
inline constexpr std::array SEQ_ID_ENTRY{UNLOCK_1, UNLOCK_2, BusCycle{UNLOCK_ADDR_1, 0x90}};
// Back to reading the array.
inline constexpr std::array SEQ_ID_EXIT{UNLOCK_1, UNLOCK_2, BusCycle{UNLOCK_ADDR_1, 0xF0}};
// Program command: the data cycles that follow are written. On the page-write
// chips it also switches software data protection on.
inline constexpr std::array SEQ_PROGRAM{UNLOCK_1, UNLOCK_2, BusCycle{UNLOCK_ADDR_1, 0xA0}};
// Software data protection off; the page load that follows is written.
inline constexpr std::array SEQ_SDP_OFF{UNLOCK_1, UNLOCK_2, BusCycle{UNLOCK_ADDR_1, 0x80},
                                        UNLOCK_1, UNLOCK_2, BusCycle{UNLOCK_ADDR_1, 0x20}};
// Erases the whole chip.
inline constexpr std::array SEQ_CHIP_ERASE{UNLOCK_1, UNLOCK_2, BusCycle{UNLOCK_ADDR_1, 0x80},
                                           UNLOCK_1, UNLOCK_2, BusCycle{UNLOCK_ADDR_1, 0x10}};
// Erase setup of one block; BLOCK_ERASE_COMMAND then goes to the block's own
// 19-bit address, so it is not part of this table.
inline constexpr std::array SEQ_BLOCK_ERASE{UNLOCK_1, UNLOCK_2, BusCycle{UNLOCK_ADDR_1, 0x80},
                                            UNLOCK_1, UNLOCK_2};
inline constexpr uint8_t BLOCK_ERASE_COMMAND = 0x30;
// A single cycle that returns the chip to read mode.
inline constexpr BusCycle CMD_RESET{0x0000, 0xF0};

// Settling time after entering or leaving identification mode.
inline constexpr uint32_t ID_MODE_WAIT_MS = 10;
// After a page load: the chips' write cycle time is at most 10 ms.
inline constexpr uint32_t PAGE_WRITE_WAIT_MS = 50;
inline constexpr uint32_t W29EE512_PAGE_WAIT_MS = 50;
// The W29EE512 chip erase takes at most 50 ms.
inline constexpr uint32_t W29EE512_ERASE_WAIT_MS = 50;
// The AT49F chip and sector erases take up to 10 s.
inline constexpr uint32_t AT49F_ERASE_WAIT_MS = 10000;

// Asking the chip instead (toggle bit: DQ6 changes from one read to the next
// while the chip is busy). Each bound is twice the datasheet maximum in
// sleeps alone, after back-to-back polls that cover the maximum on a board
// at 1 µs per port access; a poll is one read cycle of 12 accesses (two
// after a sleep).
inline constexpr uint32_t POLL_US = 12;
// A page write takes at most 10 ms.
inline constexpr PollBound PAGE_WRITE_POLL{10'000 / POLL_US, 1, 20};
// The W29EE512 chip erase takes at most 50 ms.
inline constexpr PollBound W29EE512_ERASE_POLL{50'000 / POLL_US, 1, 100};
// The AT49F chip and sector erases take seconds (10 s at most): polled
// between sleeps from the start.
inline constexpr PollBound AT49F_ERASE_POLL{0, 10, 2'000};
// An AT49F byte program: 10 µs typical, the datasheets give no maximum.
// Back-to-back polls for a millisecond, then ten more sleeps; a byte still
// busy after that is sent again, and the write gives up after the last try.
inline constexpr PollBound AT49F_BYTE_PROGRAM_POLL{1'000 / POLL_US, 1, 10};
inline constexpr uint32_t AT49F_BYTE_PROGRAM_TRIES = 3;
// The same for any byte-program chip, from its own longest erase (the AT49F's
// 10 s give the bound above; an SST39SF's 100 ms, 20 sleeps).
constexpr PollBound byte_program_erase_poll(uint32_t erase_max_ms) {
  const uint32_t sleeps = 2 * erase_max_ms / AT49F_ERASE_POLL.sleep_ms;
  return {0, AT49F_ERASE_POLL.sleep_ms, sleeps > 0 ? sleeps : 1};
}
static_assert(byte_program_erase_poll(AT49F_ERASE_WAIT_MS).sleeps == AT49F_ERASE_POLL.sleeps);
// A page write starts only when no data cycle has come for the byte-load
// limit (150 µs on the AT29C, 200 µs on the W29EE512); the first poll comes
// after it, so nothing the chip answers during the load can end the wait.
inline constexpr uint32_t BYTE_LOAD_WINDOW_MS = 1;
// The byte-load limits themselves: a timed load with a longer gap between two
// data cycles is loaded again, at most PAGE_LOAD_TRIES times in all.
inline constexpr uint64_t AT29C_BYTE_LOAD_LIMIT_US = 150;
inline constexpr uint64_t W29EE512_BYTE_LOAD_LIMIT_US = 200;
inline constexpr uint32_t PAGE_LOAD_TRIES = 3;

// Page lengths of the page-write chips: their write handlers send whole
// pages, and their catalogue rows give the same length (param) to the page
// load of the protection commands.
inline constexpr uint32_t AT29C010A_PAGE_SIZE = 0x80;
inline constexpr uint32_t AT29C040A_PAGE_SIZE = 0x100;
inline constexpr uint32_t W29EE512_PAGE_SIZE = 0x80;

}  // namespace fp
