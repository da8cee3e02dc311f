// The handlers of the high-voltage flash rows. The i28F001BX rows:
// identification, block map, write, block erase and the per-block blank check.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "chips/common/programmer_context.h"
#include "chips/highvolt/highvolt_bus.h"

namespace fp {

// Reads the two codes; leaves vpp_flag as it finds it.
ChipCodes i28f_read_id(ProgrammerBus& bus);
void i28f_identify(ProgrammerContext& context);
// Loads the row's block map; touches neither board nor chip.
void i28f_select(ProgrammerContext& context, const ChipDescriptor& row);

// 0, or the error bits the chip reported (SR_ERASE_ERRORS), or all of them
// when it did not report ready in time.
uint32_t i28f_block_erase(ProgrammerContext& context, uint32_t address);
uint32_t i28f_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                    uint32_t block_length);
// Erases the blocks in the order given, each with its address on the status
// line, and stops at the first the chip reports failed: that block, or none.
std::optional<BlockRange> i28f_erase_blocks(ProgrammerContext& context,
                                            std::span<const BlockRange> blocks);
// The blank check of the blocks given: the array put in read-array mode, then
// each block read; the first that holds a byte other than FFh, or none.
std::optional<BlockRange> i28f_blank_check_blocks(ProgrammerContext& context,
                                                  std::span<const BlockRange> blocks);
// The window's erase and blank check: the blocks come from the dialog "Выбор блоков".
void i28f_erase(ProgrammerContext& context);
void i28f_blank_check(ProgrammerContext& context);

// Shows the two codes, one per line, in a box captioned "Тип микросхемы".
void show_chip_codes(ProgrammerContext& context, ChipCodes codes);

// The AM28F001 row: identification, pulse-and-verify programming and the
// two-phase whole-chip erase.
ChipCodes am28f_read_id(ProgrammerBus& bus);
void am28f_identify(ProgrammerContext& context);
// Programs the byte at the latched address; the caller sets vpp_flag and the
// address. 0 = programmed, 1 = still wrong after AM28F_PROGRAM_PULSE_LIMIT pulses.
uint32_t am28f_program_byte(ProgrammerBus& bus, uint8_t value);
uint32_t am28f_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t block_length);
// Programs every byte to 00h, then pulses until all read FFh; false when a
// byte would not program or the pulses ran out. The voltage is off after it.
bool am28f_erase_chip(ProgrammerContext& context);
// The window's erase: the same, and the verdict in a box.
void am28f_erase(ProgrammerContext& context);

}  // namespace fp
