// The handlers of the software-protected flash rows, and the routines the
// command line calls besides.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"
#include "chips/jedec/erase_choice.h"

namespace fp {

// The on_identify handler of the family: runs the "ID" dialog modally.
void jedec_identify(ProgrammerContext& context);

// Software data protection on and off: a command followed by one page load.
// The page-write chips rewrite their first page with its own contents, so
// switching loses no data.
void sdp_on(ProgrammerContext& context);
void sdp_off(ProgrammerContext& context);

// AT29C010A and AT29C040A: each page behind a command (page_load_command).
uint32_t at29c_page_write(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                          uint32_t count);
uint32_t at29c010a_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length);
uint32_t at29c040a_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length);
// The same page writes with the page size the selected row's facts give.
uint32_t at29c_row_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length);

// AT49F512 and AT49F002: every byte behind its own program command; erase of
// the whole chip or of one block.

// Programs one byte at bus_address, which it leaves as it is; false when the
// chip was asked and never reported the byte done.
bool at49f_byte_program(ProgrammerContext& context, uint8_t data);
// WRITE_CHIP_NOT_READY when a byte never completed in its tries; no byte
// after it was sent.
uint32_t at49f_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t length);

// Both return false when the chip never reported the erase done.
bool at49f_chip_erase(ProgrammerContext& context);
// Bits 0-18 of the address name the block.
bool at49f_block_erase(ProgrammerContext& context, uint32_t address);
// The erase chosen, then the reset command; false when the chip never
// reported it done. Nothing chosen erases nothing and is no failure.
bool at49f_erase_choice(ProgrammerContext& context, const EraseChoice& choice);
// The window's erase: the choice comes from the dialog "Выбор блока для операции".
void at49f_erase(ProgrammerContext& context);

// W29EE512: pages sent as plain data cycles in the window, behind the
// protected page-load command otherwise; a whole-chip erase behind a question.
uint32_t w29ee512_page_write(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                             uint32_t count);
uint32_t w29ee512_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                        uint32_t length);
uint32_t w29ee_row_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length);
// The chip erase; false when the chip never reported it done.
bool w29ee512_chip_erase(ProgrammerContext& context);
// The window's erase: asks first, then the chip erase with the status line.
void w29ee512_erase(ProgrammerContext& context);

}  // namespace fp
