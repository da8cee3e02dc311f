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

}  // namespace fp::sim
