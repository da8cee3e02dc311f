// W29EE512: 128-byte pages sent as plain data cycles, and a whole-chip erase
// behind a question.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"

namespace fp {

bool w29ee512_page_write(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                         uint32_t count);
uint32_t w29ee512_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                        uint32_t length);
void w29ee512_erase(ProgrammerContext& context);

}  // namespace fp
