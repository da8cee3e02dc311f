// The simulated software-protected flash chip: the unlock/command decoder,
// identification mode, software data protection, page loads ended by the
// byte-load timeout, byte programming and chip and sector erase, each with
// its busy time. One class for the family; the variant gives the figures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/chip_model.h"
#include "sim/jedec/jedec_variants.h"

namespace fp::sim {

class JedecFlash final : public ChipModel {
 public:
  // Where the command decoder stands after the write cycles so far.
  enum class CommandState {
    ready,                // a command may start (page chips: or a page load)
    first_unlock,         // AA/5555 taken
    second_unlock,        // AA/5555, 55/2AAA taken
    erase_setup,          // ... 80/5555 taken
    erase_first_unlock,   // ... AA/5555 taken
    erase_second_unlock,  // ... 55/2AAA taken: 10 erases the chip, 30 a sector
    program_data,         // byte chips: the next cycle is the byte to program
    page_load_data,       // page chips: the next cycle starts a commanded page load
  };

  // What the memory array is doing.
  enum class Operation { idle, page_load, page_write, byte_program, chip_erase, sector_erase };

  // How a page load was started; it decides what its page write does.
  enum class LoadKind {
    plain,           // no command: written only while protection is off
    protection_on,   // after AA 55 A0: written, protection turns on
    protection_off,  // after AA 55 80 AA 55 20: written, protection turns off
  };

  explicit JedecFlash(const JedecVariant& variant);

  [[nodiscard]] std::string_view model_name() const override { return variant_.name; }
  void on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) override;
  std::optional<uint8_t> drive(const BoardLines& lines, uint64_t now_us) override;
  void on_time_passed(uint64_t now_us) override { settle(now_us); }
  std::vector<uint8_t>* memory(std::string_view which) override;

  [[nodiscard]] const JedecVariant& variant() const { return variant_; }
  [[nodiscard]] bool software_protection() const { return protection_; }
  // Software data protection lasts in the chip: "protection" 00 (off) or 01 (on).
  [[nodiscard]] LastingState lasting_state() const override;
  bool restore_lasting_state(const LastingState& state) override;
  [[nodiscard]] bool identification_mode() const { return identification_; }
  [[nodiscard]] CommandState command_state() const { return command_; }
  // The operation as of the last bus event the chip saw.
  [[nodiscard]] Operation operation() const { return operation_; }

 private:
  void settle(uint64_t now_us);
  void finish_operation();
  void write_cycle(uint32_t address, uint8_t data, uint64_t now_us);
  void decode_command(uint32_t address, uint8_t data, uint64_t now_us);
  void start_page_load(LoadKind kind, uint32_t address, uint8_t data, uint64_t now_us);
  void continue_page_load(uint32_t address, uint8_t data, uint64_t now_us);
  void start_busy(Operation operation, uint64_t start_us, uint64_t duration_us);
  void start_sector_erase(uint32_t address, uint64_t now_us);
  [[nodiscard]] bool busy() const;
  [[nodiscard]] uint8_t status_byte(uint32_t address) const;
  void report(const std::string& what, const std::string& russian);

  JedecVariant variant_;
  FlashArray array_;
  uint8_t control_ = 0xC0;
  bool toggle_bit_ = false;
  bool identification_ = false;
  bool protection_ = false;

  CommandState command_ = CommandState::ready;
  LoadKind pending_load_ = LoadKind::plain;

  Operation operation_ = Operation::idle;
  uint64_t busy_until_us_ = 0;
  bool hangs_ = false;  // the operation under way never completes
  // The page being loaded or written.
  LoadKind load_kind_ = LoadKind::plain;
  uint32_t page_base_ = 0;
  std::vector<uint8_t> page_data_;
  std::vector<bool> page_loaded_;
  uint64_t last_load_us_ = 0;
  // The byte being programmed or last loaded, or the range being erased.
  uint32_t target_address_ = 0;
  uint8_t target_data_ = 0xFF;
  SectorRange erase_range_{};
};

}  // namespace fp::sim
