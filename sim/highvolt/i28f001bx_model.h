// The i28F001BX: a command register that takes commands with or without the
// programming voltage, a write state machine that programs bytes and erases
// blocks in the background, and a status register that tells how it went.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "sim/chip_model.h"
#include "sim/highvolt/bus_lines.h"

namespace fp::sim {

struct I28fBlock {
  uint32_t start;
  uint32_t size;
};

struct I28fVariant {
  std::string_view name;
  uint8_t device_code;
  std::span<const I28fBlock> blocks;
  uint8_t manufacturer_code = 0x89;
};

std::span<const I28fVariant> i28f_variants();
const I28fVariant* find_i28f_variant(std::string_view name);

struct I28fTiming {
  uint64_t program_us = 9;
  uint64_t small_block_erase_us = 1'200'000;
  uint64_t large_block_erase_us = 2'400'000;
};

class I28f001bxModel final : public ChipModel {
 public:
  static constexpr uint8_t MANUFACTURER_CODE = 0x89;
  static constexpr uint32_t SIZE = 0x20000;

  explicit I28f001bxModel(const I28fVariant& variant) : variant_(variant), array_(*this, SIZE) {}

  [[nodiscard]] std::string_view model_name() const override { return variant_.name; }
  void on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) override;
  std::optional<uint8_t> drive(const BoardLines& lines, uint64_t now_us) override;
  std::vector<uint8_t>* memory(std::string_view which) override;

  void set_timing(I28fTiming timing) { timing_ = timing; }
  // The status register as the next status read would show it.
  [[nodiscard]] uint8_t status(uint64_t now_us);

 private:
  enum class Mode { read_array, read_id, read_status, program_setup, erase_setup };
  enum class Operation { none, program, erase };

  void write_cycle(uint32_t address, uint8_t data, bool vpp, uint64_t now_us);
  void command(uint8_t data);
  void start_program(uint32_t address, uint8_t data, bool vpp, uint64_t now_us);
  void start_erase(uint32_t address, bool vpp, uint64_t now_us);
  // Ends the running operation if its time has come.
  void settle(uint64_t now_us);
  void abort_for_low_voltage();
  [[nodiscard]] const I28fBlock& block_of(uint32_t address) const;

  const I28fVariant& variant_;
  FlashArray array_;
  ControlLineTracker lines_;
  JedecIdTracker jedec_id_;
  I28fTiming timing_;
  Mode mode_ = Mode::read_array;
  uint8_t error_bits_ = 0;
  Operation operation_ = Operation::none;
  uint64_t busy_until_us_ = 0;
  bool hangs_ = false;  // the operation under way never completes
  uint32_t operation_address_ = 0;
  uint8_t operation_data_ = 0;
};

}  // namespace fp::sim
