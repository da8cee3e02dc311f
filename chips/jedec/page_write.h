// Page-write programming: the block is sent as whole pages, each a command
// (or none) and a run of data cycles that the chip then programs by itself.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "chips/common/programmer_context.h"
#include "chips/jedec/jedec_commands.h"

namespace fp {

// Sends one whole page of count bytes starting at the chip address and waits
// for its write: 0, WRITE_CHIP_NOT_READY, WRITE_PAGE_LOAD_LATE or (when the
// chip is asked) WRITE_NO_ANSWER.
using PageRoutine = uint32_t (*)(ProgrammerContext& context, uint32_t address,
                                 const uint8_t* source, uint32_t count);

// One page: command, data cycles at the high priority class, the wait for the
// write. When the context times loads, a load that ran over the byte-load
// limit is loaded again once the chip is done with its parts.
uint32_t load_page(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                   uint32_t count, std::span<const BusCycle> command, uint32_t fixed_wait_ms,
                   uint64_t byte_load_limit_us);

// The page loop of the on_write handlers: 0 = success, 1 = start not on a page
// boundary (told to the operator, chip untouched), WRITE_CHIP_NOT_READY = the
// chip never finished a page, WRITE_PAGE_LOAD_LATE = a page never loaded in
// time, WRITE_NO_ANSWER = a page read back erased; no page after any of
// them was sent. A last page that
// the block only partly covers keeps the chip's own bytes beyond the block.
uint32_t paged_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t length, uint32_t page_size, PageRoutine page_routine);

// The command before each page's data: the window's own (window_command)
// while the waits are the window's; otherwise the protected page load
// (AA 55 A0), which the chip takes whatever its protection and after which it
// is left protected.
std::span<const BusCycle> page_load_command(const ProgrammerContext& context,
                                            std::span<const BusCycle> window_command);

// The data cycles of one page at the address bus_address holds, stepping it.
void send_page_data(ProgrammerBus& bus, const uint8_t* source, uint32_t count, uint8_t high_bits);
// The same, reading now_us (when given) after each data cycle; returns the
// longest time between two of them. short_strobes: two control-latch loads a
// byte instead of the window's three (the bus stays in the write setup
// between bytes, idle only after the page).
uint64_t send_timed_page_data(ProgrammerBus& bus, const uint8_t* source, uint32_t count,
                              uint8_t high_bits, const std::function<uint64_t()>* now_us,
                              bool short_strobes);

}  // namespace fp
