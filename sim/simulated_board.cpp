#include "sim/simulated_board.h"

namespace fp::sim {

void SimulatedBoard::out(uint16_t port, uint8_t value) {
  ++now_us_;
  ++port_accesses_;
  if (port == DATA_PORT) {
    data_register_ = value;
    return;
  }
  if (port != CONTROL_PORT) return;
  // 0x08 then 0x00 starts the timer.
  if ((control_register_ & 0x08) != 0 && (value & 0x08) == 0) {
    timer_left_ = timer_period_;
  }
  control_register_ = value;
  if ((value & 0x01) != 0) load_latch(static_cast<uint8_t>(value & 0x06));
}

void SimulatedBoard::load_latch(uint8_t select) {
  const bool vpp_before = lines_.vpp();
  switch (select) {
    case 0:
      lines_.data = data_register_;
      break;
    case 2:
      lines_.control = data_register_;
      break;
    case 4:
      lines_.address_low = data_register_;
      break;
    default:
      lines_.address_mid = data_register_;
      break;
  }
  if (!vpp_before && lines_.vpp()) ++vpp_switch_ons_;
  if (!chip_) return;
  chip_->on_latch(select, lines_, now_us_);
  const bool both_drive = lines_.data_latch_drives() && chip_->drive(lines_, now_us_).has_value();
  if (both_drive && !contention_) {
    record(note_language_ == NoteLanguage::russian
               ? "конфликт на шине: данные выставляют и микросхема, и регистр данных"
               : "bus contention: the chip and the data latch both drive");
  }
  contention_ = both_drive;
}

uint8_t SimulatedBoard::data_bus() {
  std::optional<uint8_t> chip_value;
  if (chip_) chip_value = chip_->drive(lines_, now_us_);
  if (lines_.data_latch_drives()) {
    return chip_value ? static_cast<uint8_t>(*chip_value & lines_.data) : lines_.data;
  }
  return chip_value.value_or(0xFF);
}

uint8_t SimulatedBoard::in(uint16_t port) {
  ++now_us_;
  ++port_accesses_;
  if (port != STATUS_PORT) return 0xFF;
  const uint8_t bus = data_bus();
  const uint8_t nibble = (control_register_ & 0x02) != 0 ? (bus >> 4) : (bus & 0x0F);
  bool timer_bit = false;
  if (!timer_left_) {
    timer_bit = true;
  } else if (*timer_left_ > 0) {
    timer_bit = true;
    --*timer_left_;
  }
  return static_cast<uint8_t>((nibble << 4) | (timer_bit ? 0x08 : 0x00) | 0x07);
}

void SimulatedBoard::insert(std::unique_ptr<ChipModel> chip) {
  chip_ = std::move(chip);
  contention_ = false;
  if (chip_) {
    chip_->set_violation_listener([this](const std::string& text) { record(text); });
    chip_->set_note_language(note_language_);
  }
}

void SimulatedBoard::record(const std::string& text) {
  violations_.push_back(text);
  if (listener_) listener_(text);
}

}  // namespace fp::sim
