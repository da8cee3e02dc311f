// What a catalogue row's chip is, as plain data beside its name and size:
// how it is identified, written and erased, how it says it is ready, and
// what its socket's pin 1 may be given. Code asks these facts instead of
// telling rows apart by name or by handler.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "chips/common/highvolt_state.h"

namespace fp {

// The chips/ folder whose handlers serve the row.
enum class ChipFamily : uint8_t { none, jedec, highvolt, at89c, attiny };

// The handlers within the family.
enum class ChipDriver : uint8_t {
  none,
  page_write,     // AT29C and W29EE: pages loaded and written whole
  byte_program,   // AT49F: AA 55 A0 and the byte
  i28f_blocks,    // i28F001BX: status register, block erase
  am28f_pulses,   // AM28F001: program and erase pulses with verify
  at89c_serial,   // AT89C2051/4051: address counter, fixed pulses
  attiny_flash,   // ATtiny2313 high-voltage parallel, flash
  attiny_eeprom,  // the same chip, EEPROM
};

// How the chip's codes are read.
enum class IdMethod : uint8_t {
  none,
  jedec_software,     // AA 55 90 at 5 V
  intel_command,      // 90h at 5 V
  am28f_command,      // 90h with 12 V on Vpp: the chip ignores commands without it
  at89c_signature,    // signature mode, RST at 5 V
  attiny_high_volts,  // high-voltage entry, 12 V on RESET
};

enum class SocketKind : uint8_t { dip32, dip20 };

enum class EraseLayout : uint8_t {
  none,        // no erase of its own (or only with another memory)
  whole_chip,  // one erase for the chip
  sectors,     // the whole chip or one sector, map below
  blocks,      // one or more blocks, map below
};

enum class ReadySignal : uint8_t { fixed_wait, toggle_bit, status_register };

enum class DataProtection : uint8_t { none, default_off, default_on };

enum class Pin1Role : uint8_t { nc, vpp, a18, reset, rst_vpp };

// Operations that may switch the programming voltage on, as bits.
namespace vpp_use {
inline constexpr uint8_t IDENTIFY = 0x01;
inline constexpr uint8_t READ = 0x02;
inline constexpr uint8_t WRITE = 0x04;
inline constexpr uint8_t ERASE = 0x08;
inline constexpr uint8_t BLANK_CHECK = 0x10;
}  // namespace vpp_use

inline constexpr uint16_t FIVE_VOLT_ONLY_MV = 6250;  // "all inputs -0.6 V to +6.25 V"
inline constexpr uint16_t VPP_MV = 12000;            // the board's programming voltage

struct ChipId {
  std::array<uint8_t, 3> codes{};
  uint8_t count = 0;
  [[nodiscard]] constexpr std::span<const uint8_t> span() const {
    return std::span<const uint8_t>(codes).first(count);
  }
  bool operator==(const ChipId&) const = default;
};

struct ChipFacts {
  ChipFamily family = ChipFamily::none;
  ChipDriver driver = ChipDriver::none;
  SocketKind socket = SocketKind::dip32;

  IdMethod id_method = IdMethod::none;
  uint16_t id_mv = 0;  // the highest voltage the ID read puts on pin 1
  ChipId id;
  // Other names the chip is sold under, ", " between them ("" for none).
  const char* aliases = "";

  // Bytes programmed as one: 1, or a page written whole.
  uint32_t write_unit = 1;
  // A write replaces bytes without an erase (page-write chips, EEPROM).
  bool rewrites_in_place = false;
  uint32_t byte_load_window_us = 0;  // page loads: longest gap between two bytes
  uint32_t program_max_us = 0;       // one byte or page at most
  uint32_t erase_max_ms = 0;         // the largest erase at most

  EraseLayout erase = EraseLayout::none;
  std::span<const BlockRange> erase_map{};  // sectors or blocks, from address 0

  ReadySignal ready = ReadySignal::fixed_wait;
  DataProtection protection = DataProtection::none;
  bool fuses = false;  // fuses and lock bits

  Pin1Role pin1 = Pin1Role::nc;
  uint16_t pin1_max_mv = FIVE_VOLT_ONLY_MV;  // highest voltage the chip allows on pin 1
  uint8_t vpp_operations = 0;                // vpp_use bits

  // The simulated chip that stands for the row.
  const char* model = "";
  // Facts of the row taken from secondary sources and not yet confirmed on a
  // chip, named for the list's note ("" for none).
  const char* unconfirmed = "";

  [[nodiscard]] constexpr bool takes_vpp() const { return pin1_max_mv >= VPP_MV; }
};

}  // namespace fp
