// The AM28F001: a command register that works only while the programming
// voltage is on, program pulses that each move a byte a step towards its
// value, and erase pulses that act on the whole chip.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string_view>

#include "sim/chip_model.h"
#include "sim/highvolt/bus_lines.h"

namespace fp::sim {

// A chip of the family: its name, codes and size.
struct Am28fVariant {
  std::string_view name;
  uint8_t manufacturer_code;
  uint8_t device_code;
  uint32_t size;
};

std::span<const Am28fVariant> am28f_variants();
// Null for an unknown name.
const Am28fVariant* find_am28f_variant(std::string_view name);

class Am28f001Model final : public ChipModel {
 public:
  static constexpr std::string_view NAME = "AM28F001";
  static constexpr uint32_t DEFAULT_PROGRAM_PULSES = 1;
  static constexpr uint32_t DEFAULT_ERASE_PULSES = 100;

  // The AM28F001 itself when no variant is named.
  Am28f001Model() : Am28f001Model(*find_am28f_variant(NAME)) {}
  explicit Am28f001Model(const Am28fVariant& variant)
      : variant_(variant), array_(*this, variant.size) {}

  [[nodiscard]] std::string_view model_name() const override { return variant_.name; }
  void on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) override;
  std::optional<uint8_t> drive(const BoardLines& lines, uint64_t now_us) override;
  std::vector<uint8_t>* memory(std::string_view which) override;

  // A cell that needs its own number of erase pulses (counted from the first
  // pulse of an erase) instead of the chip's.
  void set_erase_pulses_at(uint32_t address, uint32_t pulses) { slow_cells_[address] = pulses; }

  // For tests: pulses given since the voltage last came on.
  [[nodiscard]] uint32_t erase_pulses_given() const { return erase_pulses_; }
  [[nodiscard]] uint64_t program_pulses_given() const { return program_pulses_total_; }

 private:
  enum class Mode {
    read_array,
    read_id,
    program_setup,
    programming,
    program_verify,
    erase_setup,
    erasing,
    erase_verify,
  };

  void write_cycle(uint32_t address, uint8_t data);
  void command(uint32_t address, uint8_t data);
  void end_program_pulse();
  void start_erase_pulse();
  void end_erase_pulse();
  void voltage_off();
  [[nodiscard]] uint32_t program_pulses_needed() const;
  [[nodiscard]] uint32_t erase_pulses_needed() const;

  const Am28fVariant& variant_;
  FlashArray array_;
  ControlLineTracker lines_;
  JedecIdTracker jedec_id_;
  Mode mode_ = Mode::read_array;
  // Address of the running program pulse, or of the cell a verify shows.
  uint32_t cell_ = 0;
  uint8_t pulse_data_ = 0xFF;
  // Program pulses the cell at cell_ has had towards pulse_data_.
  uint32_t cell_pulses_ = 0;
  uint64_t program_pulses_total_ = 0;
  // An erase has begun from an all-zero chip; more pulses are then allowed.
  bool erase_begun_ = false;
  uint32_t erase_pulses_ = 0;
  std::map<uint32_t, uint32_t> slow_cells_;
};

}  // namespace fp::sim
