// What the high-voltage chips read from the board's control lines.
#pragma once

#include <cstdint>

#include "sim/chip_model.h"

namespace fp::sim {

inline constexpr uint8_t LINE_CE = 0x10;   // 1: chip enabled
inline constexpr uint8_t LINE_WE = 0x20;   // 1: write strobe active
inline constexpr uint8_t LINE_NOE = 0x40;  // 0: chip drives the data bus
inline constexpr uint8_t LATCH_SELECT_CTRL = 2;

[[nodiscard]] inline bool chip_reads(const BoardLines& lines) {
  return (lines.control & LINE_CE) != 0 && (lines.control & LINE_NOE) == 0;
}

// Follows the control latch and tells when a write cycle is taken (the
// strobe ends) and when the programming voltage changes.
class ControlLineTracker {
 public:
  struct Change {
    bool write_taken = false;
    bool vpp_rose = false;
    bool vpp_fell = false;
  };

  Change update(uint8_t select, const BoardLines& lines) {
    Change change;
    if (select != LATCH_SELECT_CTRL) return change;
    const bool strobe = (lines.control & LINE_WE) != 0;
    change.write_taken = strobe_ && !strobe && (previous_ & LINE_CE) != 0;
    change.vpp_rose = !vpp_ && lines.vpp();
    change.vpp_fell = vpp_ && !lines.vpp();
    strobe_ = strobe;
    vpp_ = lines.vpp();
    previous_ = lines.control;
    return change;
  }

 private:
  bool strobe_ = false;
  bool vpp_ = false;
  uint8_t previous_ = 0xC0;
};

// The JEDEC software-ID sequence: AA at 5555, 55 at 2AAA, then 90 (enter)
// or F0 (leave) at 5555, A15-A18 ignored.
class JedecIdTracker {
 public:
  enum class Cycle { other, unlock, enter, leave };

  Cycle take(uint32_t address, uint8_t data) {
    const uint32_t command_address = address & 0x7FFF;
    const int step = step_;
    step_ = 0;
    if (step == 0 && command_address == 0x5555 && data == 0xAA) {
      step_ = 1;
      return Cycle::unlock;
    }
    if (step == 1 && command_address == 0x2AAA && data == 0x55) {
      step_ = 2;
      return Cycle::unlock;
    }
    if (step == 2 && command_address == 0x5555 && data == 0x90) return Cycle::enter;
    if (step == 2 && command_address == 0x5555 && data == 0xF0) return Cycle::leave;
    return Cycle::other;
  }

 private:
  int step_ = 0;
};

}  // namespace fp::sim
