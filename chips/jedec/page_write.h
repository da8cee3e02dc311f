// Page-write programming: the block is sent as whole pages, each a command
// (or none) and a run of data cycles that the chip then programs by itself.
#pragma once

#include <cstdint>
#include <span>

#include "chips/common/programmer_context.h"
#include "chips/jedec/jedec_commands.h"

namespace fp {

// Sends one whole page of count bytes starting at the chip address and waits
// for its write; false when the chip never reported the page written.
using PageRoutine = bool (*)(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                             uint32_t count);

// The page loop of the on_write handlers: 0 = success, 1 = start not on a page
// boundary (told to the operator, chip untouched), WRITE_CHIP_NOT_READY = the
// chip never finished a page, and no page after it was sent. A last page that
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

}  // namespace fp
