// The programmer board behind the port: the latch strobe, the nibble
// multiplexer, the timer, the programming voltage and the socket. Every port
// access costs 1 µs of virtual time; sleeps advance the same clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/port_io.h"
#include "sim/chip_model.h"

namespace fp::sim {

inline constexpr uint32_t DEFAULT_TIMER_POLLS = 10000;

class SimulatedBoard final : public PortIo {
 public:
  SimulatedBoard() = default;

  void out(uint16_t port, uint8_t value) override;
  uint8_t in(uint16_t port) override;

  // Puts a chip into the socket (null: an empty socket, which reads 0xFF).
  void insert(std::unique_ptr<ChipModel> chip);
  [[nodiscard]] ChipModel* chip() { return chip_.get(); }
  std::unique_ptr<ChipModel> remove() { return std::move(chip_); }

  // Timer period in STATUS reads; nothing: the timer never ends its period.
  void set_timer_period(std::optional<uint32_t> polls) { timer_period_ = polls; }

  void advance_us(uint64_t microseconds) {
    now_us_ += microseconds;
    if (chip_) chip_->on_time_passed(now_us_);
  }
  [[nodiscard]] uint64_t now_us() const { return now_us_; }
  [[nodiscard]] uint64_t port_accesses() const { return port_accesses_; }

  [[nodiscard]] const BoardLines& lines() const { return lines_; }
  [[nodiscard]] bool vpp_on() const { return lines_.vpp(); }
  // How often the programming voltage was switched on since the start.
  [[nodiscard]] uint32_t vpp_switch_ons() const { return vpp_switch_ons_; }

  // Violations of the chip and of the board (bus contention), in order.
  [[nodiscard]] const std::vector<std::string>& violations() const { return violations_; }
  void set_violation_listener(std::function<void(const std::string&)> listener) {
    listener_ = std::move(listener);
  }
  // The language of the board's and the chips' notes, this chip's and every
  // chip put in later.
  void set_note_language(NoteLanguage language) {
    note_language_ = language;
    if (chip_) chip_->set_note_language(language);
  }

 private:
  void load_latch(uint8_t select);
  void record(const std::string& text);
  [[nodiscard]] uint8_t data_bus();

  BoardLines lines_;
  std::unique_ptr<ChipModel> chip_;
  NoteLanguage note_language_ = NoteLanguage::english;
  uint8_t data_register_ = 0;
  uint8_t control_register_ = 0;
  std::optional<uint32_t> timer_period_ = DEFAULT_TIMER_POLLS;
  // STATUS reads left with the timer bit set; nothing while it never ends.
  std::optional<uint64_t> timer_left_ = 0;
  bool contention_ = false;
  uint64_t now_us_ = 0;
  uint64_t port_accesses_ = 0;
  uint32_t vpp_switch_ons_ = 0;
  std::vector<std::string> violations_;
  std::function<void(const std::string&)> listener_;
};

// Sleeps advance the board's virtual clock.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(SimulatedBoard& board) : board_(board) {}
  void sleep_ms(uint32_t milliseconds) override {
    board_.advance_us(uint64_t{milliseconds} * 1000);
  }

 private:
  SimulatedBoard& board_;
};

// Remembers the class last set, for tests.
class RecordedPriority final : public Priority {
 public:
  void set_priority_class(PriorityClass priority_class) override {
    current = priority_class;
    ++changes;
  }
  PriorityClass current = PriorityClass::normal;
  uint32_t changes = 0;
};

}  // namespace fp::sim
