// Handlers that several families share: the default read and verify of the
// catalogue and the whole-chip blank check.
#pragma once

#include "chips/common/programmer_context.h"

namespace fp {

ReadResult default_read(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                        uint32_t length);
uint32_t default_verify(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                        uint32_t length);

// Whether the whole chip, from address 0, reads FFh throughout.
bool whole_chip_blank(ProgrammerContext& context);
// The window's blank check: whole_chip_blank, and the verdict in a box.
void whole_chip_blank_check(ProgrammerContext& context);

}  // namespace fp
