// The ATtiny2313 in high-voltage parallel programming mode, as the board's
// latches drive it: the address-low latch carries XA1/BS2, XA0, BS1/PAGEL,
// /WR, /OE and XTAL1; the data latch and the nibble read-back are its data
// pins; control bit 3 is the 12 V on RESET and bit 7 releases the data pins.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "sim/chip_model.h"

namespace fp::sim {

struct AttinyVariant {
  std::string_view name;
  std::array<uint8_t, 3> signature;
  uint8_t calibration;
  uint32_t flash_words;
  uint32_t flash_page_words;
  uint32_t eeprom_bytes;
  uint32_t eeprom_page_bytes;
  FuseBytes factory_fuses;
};

// Busy times after the /WR pulse, and the settling time after entry. The
// datasheet gives maxima; these are the model's values.
struct AttinyTiming {
  uint64_t flash_page_us = 4500;
  uint64_t eeprom_page_us = 9000;
  uint64_t fuse_us = 4500;  // one fuse or lock byte
  uint64_t chip_erase_us = 9000;
  uint64_t entry_settle_us = 300;  // no load before this long after the voltage rises
};

const AttinyVariant& attiny2313_variant();
const AttinyVariant& attiny4313_variant();

class AttinyModel final : public ChipModel {
 public:
  explicit AttinyModel(const AttinyVariant& variant);

  [[nodiscard]] std::string_view model_name() const override { return variant_.name; }
  void on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) override;
  std::optional<uint8_t> drive(const BoardLines& lines, uint64_t now_us) override;
  std::vector<uint8_t>* memory(std::string_view which) override;
  [[nodiscard]] std::optional<FuseBytes> fuses() const override { return fuses_; }
  // The fuse and lock bytes: "fuses" holds low, high, extended and lock.
  [[nodiscard]] LastingState lasting_state() const override;
  bool restore_lasting_state(const LastingState& state) override;

  void set_timing(const AttinyTiming& timing) { timing_ = timing; }
  void set_calibration(uint8_t value) { calibration_ = value; }
  void set_fuses(const FuseBytes& fuses) { fuses_ = fuses; }
  [[nodiscard]] bool in_programming_mode() const { return mode_ == Mode::programming; }

 private:
  enum class Mode { off, refused, programming };

  // An internal operation under way: no load or pulse until it is done.
  struct Busy {
    std::string name;
    uint64_t done_at_us;
  };

  void voltage_changed(bool on, uint8_t pattern, uint64_t now_us);
  void pattern_changed(uint8_t before, uint8_t after, const BoardLines& lines, uint64_t now_us);
  void count_entry_toggles(uint8_t before, uint8_t after);

  void xtal1_pulse(uint8_t pattern, const BoardLines& lines, uint64_t now_us);
  void write_pulse(uint8_t pattern, uint64_t now_us);
  void pagel_strobe(uint64_t now_us);
  void output_enabled();

  // False (and a violation) when the chip cannot take a load or pulse now.
  bool ready_for(const char* what, uint64_t now_us);
  void start(std::string name, uint64_t busy_us, uint64_t now_us,
             const std::function<void()>& apply);
  void finish_due(uint64_t now_us);

  [[nodiscard]] bool programming_locked() const { return (fuses_.lock & LB1) == 0; }
  [[nodiscard]] bool reading_locked() const { return (fuses_.lock & (LB1 | LB2)) == 0; }
  [[nodiscard]] uint32_t word_address() const;
  void fuse_write(uint8_t pattern, uint64_t now_us);
  void chip_erase();

  static constexpr uint8_t LB1 = 0x01;
  static constexpr uint8_t LB2 = 0x02;
  static constexpr uint64_t NEVER = std::numeric_limits<uint64_t>::max();

  const AttinyVariant& variant_;
  AttinyTiming timing_;
  FlashArray flash_;
  std::vector<uint8_t> eeprom_;
  FuseBytes fuses_;
  uint8_t calibration_;

  Mode mode_ = Mode::off;
  bool vpp_ = false;
  uint8_t pattern_ = 0x00;
  int entry_toggles_ = 0;
  uint64_t ready_at_us_ = 0;

  std::optional<uint8_t> command_;
  uint8_t address_low_ = 0;
  uint8_t address_high_ = 0;
  uint8_t data_low_ = 0xFF;
  uint8_t data_high_ = 0xFF;
  std::vector<std::optional<uint16_t>> flash_page_;
  std::vector<std::optional<uint8_t>> eeprom_page_;

  std::optional<Busy> busy_;
  bool busy_reported_ = false;
};

}  // namespace fp::sim
