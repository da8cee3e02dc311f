// AT49F512 and AT49F002: every byte behind its own program command; erase of
// the whole chip or of one block.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"

namespace fp {

// Programs one byte at bus_address, which it leaves as it is.
void at49f_byte_program(ProgrammerBus& bus, uint8_t data);
uint32_t at49f_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t length);

// Both return false when the chip never reported the erase done.
bool at49f_chip_erase(ProgrammerContext& context);
// Bits 0-18 of the address name the block.
bool at49f_block_erase(ProgrammerContext& context, uint32_t address);
void at49f_erase(ProgrammerContext& context);

}  // namespace fp
