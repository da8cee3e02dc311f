// High-voltage parallel programming of the ATtiny2313. The address-low latch
// carries the chip's programming lines (one control pattern per latch load);
// the data latch and read_nibbles are its data pins; the control latch
// switches the programming voltage and decides whether the data latch drives.
// The chip's RDY/BSY output is not wired: every programming step is followed
// by a fixed wait instead.
#pragma once

#include <cstdint>

#include "chips/attiny/attiny_commands.h"
#include "chips/common/programmer_context.h"

namespace fp {

void hvpp_pattern(ProgrammerContext& context, uint8_t pattern);

// Switches the voltage off, then enters programming mode anew.
void hvpp_enter(ProgrammerContext& context);

// Also makes the data latch drive the data pins (control latch 0x48), which
// the other loads rely on.
void hvpp_load_command(ProgrammerContext& context, uint8_t command);
void hvpp_load_address_low(ProgrammerContext& context, uint8_t address_low);
void hvpp_load_address_high(ProgrammerContext& context, uint8_t address_high);
// Leaves XA0 high (pattern 0x1A) for the step that follows.
void hvpp_load_data_low(ProgrammerContext& context, uint8_t data);
// Flash: loads the high byte and strobes the word into the page buffer.
void hvpp_load_data_high_latch(ProgrammerContext& context, uint8_t data);
// EEPROM: strobes the loaded byte into the page buffer.
void hvpp_page_latch_pulse(ProgrammerContext& context);
// A /WR pulse (page programming or chip erase), then the wait.
void hvpp_program_pulse(ProgrammerContext& context, uint32_t wait_ms);

uint8_t hvpp_read(ProgrammerContext& context, uint8_t select);
uint8_t hvpp_read_at(ProgrammerContext& context, uint8_t address_low, uint8_t select);

// One fuse or lock byte, under the write command loaded beforehand.
void hvpp_program_byte(ProgrammerContext& context, uint8_t value, uint8_t select);

}  // namespace fp
