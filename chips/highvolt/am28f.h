// The AM28F001 row: identification, pulse-and-verify programming and the
// two-phase whole-chip erase.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"
#include "chips/highvolt/i28f.h"

namespace fp {

ChipCodes am28f_read_id(ProgrammerBus& bus);
void am28f_identify(ProgrammerContext& context);
// Programs the byte at the latched address; the caller sets vpp_flag and the
// address. 0 = programmed, 1 = still wrong after PROGRAM_PULSE_LIMIT pulses.
uint32_t am28f_program_byte(ProgrammerBus& bus, uint8_t value);
uint32_t am28f_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t block_length);
// 0 = erased, 1 = failed; reports to the operator itself.
uint32_t am28f_erase(ProgrammerContext& context);

}  // namespace fp
