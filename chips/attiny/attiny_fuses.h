// The ATtiny2313's bytes besides its memories: signature, calibration byte,
// fuses and lock bits, read and programmed as values. A bit that reads 1 is
// not programmed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "chips/common/programmer_context.h"

namespace fp {

struct FuseBytes {
  uint8_t low = 0xFF;
  uint8_t high = 0xFF;
  uint8_t extended = 0xFF;
  bool operator==(const FuseBytes&) const = default;
};

struct AttinyBytes {
  std::array<uint8_t, 3> signature{};
  uint8_t calibration = 0;
  FuseBytes fuses;
  uint8_t lock = 0xFF;
  bool operator==(const AttinyBytes&) const = default;
};

// The fuse bytes to change; the others are programmed as the chip holds them.
struct FuseChange {
  std::optional<uint8_t> low;
  std::optional<uint8_t> high;
  std::optional<uint8_t> extended;
  [[nodiscard]] FuseBytes applied_to(const FuseBytes& held) const {
    return {low.value_or(held.low), high.value_or(held.high), extended.value_or(held.extended)};
  }
};

// What the chip held before a write and what it reads after it.
struct AttinyWrite {
  AttinyBytes before;
  AttinyBytes after;
};

// Each of these expects programming mode on (hvpp_enter) and leaves it on.
AttinyBytes attiny_read_bytes(ProgrammerContext& context);
// All three fuse bytes, one after the other.
void attiny_program_fuses(ProgrammerContext& context, const FuseBytes& fuses);
// Lock bits once programmed come back only with a chip erase.
void attiny_program_lock(ProgrammerContext& context, uint8_t lock);

// Whole operations: programming mode entered, the bytes read, written and
// read back.
AttinyBytes attiny_read_fuses(ProgrammerContext& context);
AttinyWrite attiny_write_fuses(ProgrammerContext& context, const FuseChange& change);
AttinyWrite attiny_write_lock(ProgrammerContext& context, uint8_t lock);

}  // namespace fp
