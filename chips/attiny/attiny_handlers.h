// Catalogue handlers of the ATtiny2313 flash and EEPROM rows. Each handler
// that touches the chip enters programming mode first and leaves it on.
#pragma once

#include <cstdint>

#include "chips/attiny/attiny_commands.h"
#include "chips/common/programmer_context.h"

namespace fp {

// Flash blocks are whole words: the byte offset and length must be even.
ReadResult attiny_flash_read(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                             uint32_t length);
uint32_t attiny_flash_verify(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                             uint32_t length);
// Pages start at a multiple of 32 bytes; the last page may be partial.
uint32_t attiny_flash_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                            uint32_t length);
bool attiny_flash_blank(ProgrammerContext& context);
// The window's blank check: attiny_flash_blank, and the verdict in a box.
void attiny_flash_blank_check(ProgrammerContext& context);
// Chip erase: flash, EEPROM (unless the chip's EESAVE fuse keeps it) and lock bits.
void attiny_chip_erase(ProgrammerContext& context);
// The window's erase: the chip erase, then "done" on the status line.
void attiny_flash_erase(ProgrammerContext& context);

ReadResult attiny_eeprom_read(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                              uint32_t length);
uint32_t attiny_eeprom_verify(ProgrammerContext& context, const uint8_t* buffer,
                              uint32_t rom_offset, uint32_t length);
// Pages start at a multiple of 4 bytes; any length.
uint32_t attiny_eeprom_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                             uint32_t length);
bool attiny_eeprom_blank(ProgrammerContext& context);
void attiny_eeprom_blank_check(ProgrammerContext& context);
// The EEPROM is erased only with the flash: says so and touches nothing.
void attiny_eeprom_erase(ProgrammerContext& context);

// Opens the fuse and lock-bit dialog.
void attiny_identify(ProgrammerContext& context);

}  // namespace fp
