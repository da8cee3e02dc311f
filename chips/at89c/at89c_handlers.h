// The six handlers of the AT89C2051/2052 and AT89C4051/4052 rows. The chip
// is driven through the control and address-low latches alone; no handler
// steps bus_address, so none shows address progress.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"

namespace fp {

ReadResult at89c_read(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                      uint32_t length);
// 0 when every byte matches; stops at the first difference, the counter on it.
uint32_t at89c_verify(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                      uint32_t length);
// Always 0: whether the bytes took is for the verify that follows to say.
uint32_t at89c_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t length);

// Whether the whole chip, from address 0, reads FFh throughout.
bool at89c_chip_blank(ProgrammerContext& context);
// The erase pulse; the chip says nothing of how it went.
void at89c_chip_erase(ProgrammerContext& context);
// The window's blank check and erase: the same, with the status line and the verdict.
void at89c_blank_check(ProgrammerContext& context);
void at89c_erase(ProgrammerContext& context);
// Shows the three signature bytes, one a line.
void at89c_identify(ProgrammerContext& context);

}  // namespace fp
