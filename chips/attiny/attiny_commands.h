// Lines, commands, waits and sizes of the ATtiny2313's high-voltage parallel
// programming.
#pragma once

#include <cstdint>

namespace fp {

// A flash page is 16 words (32 bytes), an EEPROM page 4 bytes.
inline constexpr uint32_t FLASH_PAGE_WORDS = 16;
inline constexpr uint32_t EEPROM_PAGE_BYTES = 4;
// The sizes of the two catalogue rows.
inline constexpr uint32_t FLASH_BYTES = 0x800;
inline constexpr uint32_t EEPROM_BYTES = 0x80;

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

}  // namespace fp
