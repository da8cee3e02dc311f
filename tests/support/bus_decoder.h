// Reads recorded port accesses back as the board and the chip in its socket
// take them: the latches the board loads, and the bus cycles the chip sees.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "bus/programmer_bus.h"

namespace fp::test {

struct Access {
  enum class Kind : uint8_t { out, in, sleep, priority };
  Kind kind;
  uint8_t value;      // out: written; in: answered; priority: 1 for high
  uint16_t port;      // out and in
  uint32_t sleep_ms;  // sleep
};

// One write cycle as the chip takes it, when its write strobe ends.
struct WriteCycle {
  uint32_t address;
  uint8_t data;
  bool vpp;
  bool operator==(const WriteCycle&) const = default;
};

// The data register and the four latches as the recorded accesses leave
// them, from the board's power-on state.
class Latches {
 public:
  // The select of the latch this access loaded, if it loaded one.
  std::optional<uint8_t> take(const Access& access) {
    if (access.kind != Access::Kind::out) return std::nullopt;
    if (access.port == DATA_PORT) data_register_ = access.value;
    if (access.port != CONTROL_PORT || (access.value & 1) == 0) return std::nullopt;
    const auto select = static_cast<uint8_t>(access.value & 6);
    latch_[select / 2] = data_register_;
    return select;
  }
  [[nodiscard]] uint8_t get(uint8_t select) const { return latch_[select / 2]; }
  // A0-A18 with A16-A18 from this control value.
  [[nodiscard]] uint32_t address(uint8_t control) const {
    return get(LATCH_ADDR_LO) | (get(LATCH_ADDR_MID) << 8) | ((control & 7u) << 16);
  }

 private:
  uint8_t data_register_ = 0;
  std::array<uint8_t, 4> latch_{0xFF, 0xC0, 0x00, 0x00};
};

// What one access means to a memory chip in the socket.
struct BusStep {
  enum class Kind { none, write, read, status, service } kind = Kind::none;
  WriteCycle write{};
  uint32_t read_address = 0;
};

class BusDecoder {
 public:
  BusStep take(const Access& access) {
    if (access.kind == Access::Kind::in) {
      return {chip_drives(latches_.get(LATCH_CTRL)) ? BusStep::Kind::none : BusStep::Kind::status};
    }
    if (access.kind != Access::Kind::out) return {BusStep::Kind::service};
    const uint8_t before = latches_.get(LATCH_CTRL);
    if (latches_.take(access) != LATCH_CTRL) return {};
    const uint8_t control = latches_.get(LATCH_CTRL);
    if (strobing(before) && !strobing(control)) {
      return {BusStep::Kind::write,
              {latches_.address(before), latches_.get(LATCH_DATA), (before & CTRL_VPP) != 0}};
    }
    if (chip_drives(control)) return {BusStep::Kind::read, {}, latches_.address(control)};
    return {};
  }

 private:
  // Control latch lines of the memory chips.
  static constexpr uint8_t CHIP_ENABLE = 0x10;
  static constexpr uint8_t WRITE_STROBE = 0x20;
  static constexpr uint8_t OUTPUT_DISABLE = 0x40;

  static bool strobing(uint8_t control) {
    return (control & (CHIP_ENABLE | WRITE_STROBE)) == (CHIP_ENABLE | WRITE_STROBE);
  }
  static bool chip_drives(uint8_t control) {
    return (control & (CHIP_ENABLE | WRITE_STROBE | OUTPUT_DISABLE)) == CHIP_ENABLE;
  }

  Latches latches_;
};

}  // namespace fp::test
