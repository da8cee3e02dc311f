// A chip in the simulated socket. It sees every latch load with the time it
// happened and answers the data bus when its read lines are active. Whatever
// a real chip would not take is recorded as a violation.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fp::sim {

// The four latches of the board, as the chip's lines see them.
struct BoardLines {
  uint8_t data = 0xFF;
  uint8_t control = 0xC0;
  uint8_t address_low = 0x00;
  uint8_t address_mid = 0x00;

  // A0-A18 of a memory chip.
  [[nodiscard]] uint32_t address() const {
    return address_low | (address_mid << 8) | ((control & 0x07u) << 16);
  }
  [[nodiscard]] bool vpp() const { return (control & 0x08) != 0; }
  // Control bit 7 clear: the data latch drives the data bus.
  [[nodiscard]] bool data_latch_drives() const { return (control & 0x80) == 0; }
};

struct ChipFaults {
  // Bytes of the main memory that always read this value and never change.
  std::map<uint32_t, uint8_t> stuck;
  // No internal operation ever completes.
  bool never_ready = false;
  // Program and erase cycles complete until this one (counted from 1): it
  // and every later one never do.
  std::optional<uint32_t> never_ready_from;
  // Pulse-programmed chips: pulses a byte needs, pulses the chip erase needs.
  std::optional<uint32_t> program_pulses;
  std::optional<uint32_t> erase_pulses;
};

// The language of the chips' protocol notes: English unless a Russian
// command-line run asks for Russian (the tests read the English ones).
enum class NoteLanguage : uint8_t { english, russian };

struct FuseBytes {
  uint8_t low, high, extended, lock;
};

class ChipModel {
 public:
  virtual ~ChipModel() = default;

  [[nodiscard]] virtual std::string_view model_name() const = 0;

  // select is the latch just loaded (LATCH_DATA, LATCH_CTRL, ...); lines hold
  // all four latches after the load.
  virtual void on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) = 0;
  // The byte the chip drives onto the data bus now, or nothing.
  virtual std::optional<uint8_t> drive(const BoardLines& lines, uint64_t now_us) = 0;
  // The board's clock has moved on without a bus event (a sleep): an internal
  // operation that ends meanwhile can finish, so its memory is up to date.
  virtual void on_time_passed(uint64_t /*now_us*/) {}

  // "main" (flash or code array) or "eeprom"; null when the chip has none.
  virtual std::vector<uint8_t>* memory(std::string_view which) = 0;
  [[nodiscard]] virtual std::optional<FuseBytes> fuses() const { return std::nullopt; }

  // What lasts in the chip beyond its memories (fuses, lock bits, software
  // data protection), by name, so that a simulated chip can be kept in a file
  // between runs. The memories are kept through memory().
  using LastingState = std::map<std::string, std::vector<uint8_t>, std::less<>>;
  [[nodiscard]] virtual LastingState lasting_state() const { return {}; }
  // Takes back what lasting_state() gave; false when a value does not fit.
  virtual bool restore_lasting_state(const LastingState& state) { return state.empty(); }

  void set_faults(ChipFaults faults) { faults_ = std::move(faults); }
  [[nodiscard]] const ChipFaults& faults() const { return faults_; }

  // A program or erase cycle begins: true when it never completes.
  bool cycle_hangs() {
    ++cycles_begun_;
    return faults_.never_ready ||
           (faults_.never_ready_from && cycles_begun_ >= *faults_.never_ready_from);
  }

  [[nodiscard]] const std::vector<std::string>& violations() const { return violations_; }
  void set_violation_listener(std::function<void(const std::string&)> listener) {
    listener_ = std::move(listener);
  }
  void set_note_language(NoteLanguage language) { note_language_ = language; }

 protected:
  // A protocol note, worded in both languages where it is raised.
  void violation(std::string english, std::string russian) {
    violations_.push_back(note_language_ == NoteLanguage::russian ? std::move(russian)
                                                                  : std::move(english));
    if (listener_) listener_(violations_.back());
  }
  [[nodiscard]] bool russian_notes() const { return note_language_ == NoteLanguage::russian; }

 private:
  ChipFaults faults_;
  NoteLanguage note_language_ = NoteLanguage::english;
  uint64_t cycles_begun_ = 0;
  std::vector<std::string> violations_;
  std::function<void(const std::string&)> listener_;
};

// A flash array whose cells only go from 1 to 0 when programmed, with the
// stuck-byte fault of the chip applied.
class FlashArray {
 public:
  FlashArray(const ChipModel& owner, size_t size, uint8_t erased = 0xFF)
      : owner_(&owner), cells_(size, erased), erased_(erased) {}

  [[nodiscard]] size_t size() const { return cells_.size(); }
  [[nodiscard]] uint8_t read(uint32_t address) const {
    address %= static_cast<uint32_t>(cells_.size());
    if (auto stuck = owner_->faults().stuck.find(address); stuck != owner_->faults().stuck.end()) {
      return stuck->second;
    }
    return cells_[address];
  }
  // Returns false when a bit was asked to go from 0 to 1 (it stays 0).
  bool program(uint32_t address, uint8_t value) {
    address %= static_cast<uint32_t>(cells_.size());
    if (owner_->faults().stuck.contains(address)) return read(address) == value;
    const bool raises = (value & ~cells_[address] & 0xFF) != 0;
    cells_[address] = static_cast<uint8_t>(cells_[address] & value);
    return !raises;
  }
  // Writes the cell as it is (an EEPROM, or a page write that erases first).
  void store(uint32_t address, uint8_t value) {
    address %= static_cast<uint32_t>(cells_.size());
    if (!owner_->faults().stuck.contains(address)) cells_[address] = value;
  }
  void erase(uint32_t start, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) store(start + i, erased_);
  }
  void erase_all() { erase(0, static_cast<uint32_t>(cells_.size())); }
  std::vector<uint8_t>& cells() { return cells_; }

 private:
  const ChipModel* owner_;
  std::vector<uint8_t> cells_;
  uint8_t erased_;
};

// The entry of a family's variant table that has this name, or null.
template <typename Variant>
const Variant* find_variant(std::span<const Variant> variants, std::string_view name) {
  for (const Variant& variant : variants) {
    if (variant.name == name) return &variant;
  }
  return nullptr;
}

}  // namespace fp::sim
