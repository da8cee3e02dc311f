// High-voltage parallel programming of the ATtiny2313. The address-low latch
// carries the chip's programming lines (one control pattern per latch load);
// the data latch and read_nibbles are its data pins; the control latch
// switches the programming voltage and decides whether the data latch drives.
// The chip's RDY/BSY output is not wired: every programming step is followed
// by a fixed wait instead.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"

namespace fp {

// Control pattern bits.
inline constexpr uint8_t HV_XA1_BS2 = 0x01;    // XA1 while loading; BS2 while writing or reading
inline constexpr uint8_t HV_XA0 = 0x02;        // XA0: with XA1 low, selects a data load
inline constexpr uint8_t HV_BS1_PAGEL = 0x04;  // BS1 (high byte); PAGEL while loading page data
inline constexpr uint8_t HV_WR_N = 0x08;       // /WR, active low
inline constexpr uint8_t HV_OE_N = 0x10;       // /OE, active low
inline constexpr uint8_t HV_XTAL1 = 0x20;      // one pulse loads the byte on the data pins

// /WR and /OE high, every other line low: where each primitive starts and ends.
inline constexpr uint8_t HV_IDLE = HV_WR_N | HV_OE_N;

// Control-latch values. Bit 7 set releases the data lines to the chip.
inline constexpr uint8_t HV_CTRL_OFF = 0x80;       // voltage off, data latch released
inline constexpr uint8_t HV_CTRL_VPP_ON = 0x88;    // voltage on, data latch released
inline constexpr uint8_t HV_CTRL_RELEASED = 0xC8;  // voltage on, the chip may drive the data pins
inline constexpr uint8_t HV_CTRL_DRIVEN = 0x48;    // voltage on, the data latch drives the pins

// Commands; one stays in force until the next is loaded.
inline constexpr uint8_t CMD_CHIP_ERASE = 0x80;      // flash, EEPROM (unless EESAVE) and lock bits
inline constexpr uint8_t CMD_WRITE_FUSE = 0x40;      // fuse low, high and extended bytes
inline constexpr uint8_t CMD_WRITE_LOCK = 0x20;      // lock bits: a 0 programs the bit
inline constexpr uint8_t CMD_WRITE_FLASH = 0x10;     // program the flash page buffer
inline constexpr uint8_t CMD_WRITE_EEPROM = 0x11;    // program the EEPROM page buffer
inline constexpr uint8_t CMD_READ_SIGNATURE = 0x08;  // signature bytes and calibration byte
inline constexpr uint8_t CMD_READ_FUSE_LOCK = 0x04;  // fuse and lock bytes
inline constexpr uint8_t CMD_READ_FLASH = 0x02;
inline constexpr uint8_t CMD_READ_EEPROM = 0x03;

// Byte selects of hvpp_read and hvpp_program_byte: BS2 and BS1.
inline constexpr uint8_t HV_SELECT_NONE = 0x00;
inline constexpr uint8_t HV_SELECT_BS1 = HV_BS1_PAGEL;
inline constexpr uint8_t HV_SELECT_BS2 = HV_XA1_BS2;
inline constexpr uint8_t HV_SELECT_BS2_BS1 = HV_XA1_BS2 | HV_BS1_PAGEL;

// Fixed waits in place of polling RDY/BSY.
inline constexpr uint32_t HV_ENTRY_WAIT_MS = 1;     // after the XTAL1 toggles, after the voltage
inline constexpr uint32_t HV_PROGRAM_WAIT_MS = 10;  // one page or one fuse or lock byte
inline constexpr uint32_t HV_ERASE_WAIT_MS = 20;    // chip erase

// XTAL1 pulses given before the voltage rises (six toggles).
inline constexpr int HV_ENTRY_XTAL1_PULSES = 3;

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
