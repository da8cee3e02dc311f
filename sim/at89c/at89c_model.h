// AT89C2051 / AT89C4051 in programming mode. The chip has no address pins:
// an internal counter, cleared when its reset line rises and advanced by
// clock pulses, says which byte the mode lines act on.
//
// Lines as the socket wires them:
//   address-low latch  bits 0-3 mode, bit 4 program strobe (low = pulse),
//                      bit 5 address clock (high = pulse)
//   control latch      bit 3 programming voltage on the reset pin,
//                      bit 6 reset pin high (the chip runs its programming
//                      logic; low holds the counter in reset),
//                      bit 7 clear: the data latch drives the chip's data lines
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/chip_model.h"

namespace fp::sim {

struct At89cVariant {
  std::string_view name;
  uint32_t size;
  std::array<uint8_t, 3> signature;
};

std::span<const At89cVariant> at89c_variants();
// Null for an unknown name.
const At89cVariant* find_at89c_variant(std::string_view name);

struct At89cTiming {
  // Busy after the program strobe returns high (datasheet: at most 2 ms).
  uint64_t byte_write_us = 1500;
  // The chip erase needs the strobe held low at least this long.
  uint64_t erase_pulse_min_us = 10000;
};

class At89cModel final : public ChipModel {
 public:
  explicit At89cModel(const At89cVariant& variant, At89cTiming timing = {});

  [[nodiscard]] std::string_view model_name() const override { return variant_.name; }
  void on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) override;
  std::optional<uint8_t> drive(const BoardLines& lines, uint64_t now_us) override;
  std::vector<uint8_t>* memory(std::string_view which) override;

  [[nodiscard]] uint32_t counter() const { return counter_; }
  [[nodiscard]] bool busy(uint64_t now_us) const {
    return busy_until_us_.has_value() && now_us < *busy_until_us_;
  }

 private:
  enum class Mode { read, write, erase, signature, undefined };

  struct Pulse {
    Mode mode;
    uint64_t start_us;
    uint32_t address;
    uint8_t data;
    bool takes_effect;  // false: the chip ignores this pulse
  };

  struct PendingByte {
    uint32_t address;
    uint8_t data;
  };

  static Mode mode_of(uint8_t address_low);
  static bool is_programming(Mode mode) { return mode == Mode::write || mode == Mode::erase; }

  void settle(uint64_t now_us);
  void on_control(const BoardLines& before);
  void on_mode_lines(const BoardLines& before, uint64_t now_us);
  void start_pulse(Mode mode, uint64_t now_us);
  void end_pulse(Mode mode, uint64_t now_us);
  void clock_pulse();
  // Reported once for each byte write, however often it is disturbed.
  void busy_violation(const std::string& what, const std::string& russian);
  void fault(const std::string& what, const std::string& russian);
  [[nodiscard]] std::string mode_name(Mode mode) const;
  [[nodiscard]] std::string russian_mode_name(Mode mode) const;

  const At89cVariant& variant_;
  At89cTiming timing_;
  FlashArray flash_;

  BoardLines lines_;
  bool seen_lines_ = false;
  uint32_t counter_ = 0;
  std::optional<Pulse> pulse_;
  std::optional<PendingByte> pending_;
  std::optional<uint64_t> busy_until_us_;  // UINT64_MAX: never ready
  bool busy_reported_ = false;
  // Voltage raised while the mode lines still hold a mode that must not have
  // it; harmless as long as write or erase mode is selected before anything
  // else happens.
  bool vpp_awaits_mode_ = false;
  bool vpp_reported_ = false;
};

}  // namespace fp::sim
