#include "sim/at89c/at89c_model.h"

#include <cstdio>
#include <limits>

namespace fp::sim {
namespace {

// Latch selects as the board decodes them.
constexpr uint8_t SELECT_DATA = 0;
constexpr uint8_t SELECT_CONTROL = 2;
constexpr uint8_t SELECT_ADDRESS_LOW = 4;
constexpr uint8_t SELECT_ADDRESS_MID = 6;

constexpr uint8_t MODE_MASK = 0x0F;
constexpr uint8_t PROG_LINE = 0x10;
constexpr uint8_t CLOCK_LINE = 0x20;
constexpr uint8_t RESET_LINE = 0x40;  // control latch: reset pin high

constexpr uint8_t MODE_READ = 0x3;
constexpr uint8_t MODE_WRITE = 0x7;
constexpr uint8_t MODE_ERASE = 0x8;
constexpr uint8_t MODE_SIGNATURE = 0x0;

constexpr uint8_t ERASED = 0xFF;
constexpr uint8_t UNUSED_SIGNATURE = 0xFF;
constexpr uint64_t NEVER = std::numeric_limits<uint64_t>::max();

bool prog_low(const BoardLines& lines) {
  return (lines.address_low & PROG_LINE) == 0;
}
bool clock_high(const BoardLines& lines) {
  return (lines.address_low & CLOCK_LINE) != 0;
}
bool reset_high(const BoardLines& lines) {
  return (lines.control & RESET_LINE) != 0;
}

std::string hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::string milliseconds(uint64_t microseconds, const char* unit = "ms") {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f %s", static_cast<double>(microseconds) / 1000.0, unit);
  return text;
}

// Only the named latch changes on a load; any other difference means loads
// were missed while the chip was out of the socket.
bool others_match(uint8_t select, const BoardLines& a, const BoardLines& b) {
  return (select == SELECT_DATA || a.data == b.data) &&
         (select == SELECT_CONTROL || a.control == b.control) &&
         (select == SELECT_ADDRESS_LOW || a.address_low == b.address_low) &&
         (select == SELECT_ADDRESS_MID || a.address_mid == b.address_mid);
}

constexpr std::array<At89cVariant, 4> VARIANTS{{
    {"AT89C1051", 0x400, {0x1E, 0x11, 0xFF}},
    {"AT89C1051U", 0x400, {0x1E, 0x12, 0xFF}},
    {"AT89C2051", 0x800, {0x1E, 0x21, 0xFF}},
    {"AT89C4051", 0x1000, {0x1E, 0x41, 0xFF}},
}};

}  // namespace

std::span<const At89cVariant> at89c_variants() {
  return VARIANTS;
}

const At89cVariant* find_at89c_variant(std::string_view name) {
  return find_variant(at89c_variants(), name);
}

At89cModel::At89cModel(const At89cVariant& variant, At89cTiming timing)
    : variant_(variant), timing_(timing), flash_(*this, variant.size, ERASED) {}

std::vector<uint8_t>* At89cModel::memory(std::string_view which) {
  return which == "main" ? &flash_.cells() : nullptr;
}

At89cModel::Mode At89cModel::mode_of(uint8_t address_low) {
  switch (address_low & MODE_MASK) {
    case MODE_READ:
      return Mode::read;
    case MODE_WRITE:
      return Mode::write;
    case MODE_ERASE:
      return Mode::erase;
    case MODE_SIGNATURE:
      return Mode::signature;
    default:
      return Mode::undefined;
  }
}

std::string At89cModel::mode_name(Mode mode) const {
  switch (mode) {
    case Mode::read:
      return "read mode";
    case Mode::write:
      return "write mode";
    case Mode::erase:
      return "erase mode";
    case Mode::signature:
      return "signature mode";
    case Mode::undefined:
      break;
  }
  return "undefined mode " + hex(lines_.address_low & MODE_MASK, 1);
}

// "в режиме записи": the mode after "в".
std::string At89cModel::russian_mode_name(Mode mode) const {
  switch (mode) {
    case Mode::read:
      return "режиме чтения";
    case Mode::write:
      return "режиме записи";
    case Mode::erase:
      return "режиме стирания";
    case Mode::signature:
      return "режиме сигнатуры";
    case Mode::undefined:
      break;
  }
  return "неопределённом режиме " + hex(lines_.address_low & MODE_MASK, 1);
}

void At89cModel::fault(const std::string& what, const std::string& russian) {
  violation(std::string(variant_.name) + ": " + what, std::string(variant_.name) + ": " + russian);
}

void At89cModel::busy_violation(const std::string& what, const std::string& russian) {
  if (busy_reported_) return;
  busy_reported_ = true;
  const std::string at = hex(pending_ ? pending_->address : counter_, 3);
  fault(what + " while the byte at " + at + " is still being written",
        russian + ", пока байт по адресу " + at + " ещё записывается");
}

void At89cModel::settle(uint64_t now_us) {
  if (!busy_until_us_ || now_us < *busy_until_us_) return;
  if (pending_) flash_.program(pending_->address, pending_->data);
  pending_.reset();
  busy_until_us_.reset();
}

void At89cModel::on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) {
  settle(now_us);
  if (!seen_lines_ || !others_match(select, lines, lines_)) {
    // First sight of the board, or back in the socket: take the lines as they are.
    lines_ = lines;
    seen_lines_ = true;
    return;
  }
  const BoardLines before = lines_;
  lines_ = lines;
  if (select == SELECT_CONTROL) on_control(before);
  if (select == SELECT_ADDRESS_LOW) on_mode_lines(before, now_us);
}

void At89cModel::on_control(const BoardLines& before) {
  const Mode mode = mode_of(lines_.address_low);
  if (reset_high(before) && !reset_high(lines_) && busy_until_us_) {
    busy_violation("reset", "сброс");
    pending_.reset();
    busy_until_us_.reset();
  }
  if (!reset_high(before) && reset_high(lines_)) counter_ = 0;

  if (!before.vpp() && lines_.vpp()) {
    vpp_reported_ = false;
    vpp_awaits_mode_ = !is_programming(mode);
  }
  if (before.vpp() && !lines_.vpp()) {
    if (pulse_ && pulse_->takes_effect) {
      fault("programming voltage removed during the program pulse in " + mode_name(pulse_->mode) +
                "; nothing done",
            "программирующее напряжение снято во время импульса программирования в " +
                russian_mode_name(pulse_->mode) + "; ничего не сделано");
      pulse_->takes_effect = false;
    }
    if (vpp_awaits_mode_ && !vpp_reported_) {
      fault("programming voltage switched on in " + mode_name(mode) +
                " and off again: only write and erase take it",
            "программирующее напряжение включено и снова выключено в " + russian_mode_name(mode) +
                ": его принимают только запись и стирание");
    }
    vpp_awaits_mode_ = false;
  }
}

void At89cModel::on_mode_lines(const BoardLines& before, uint64_t now_us) {
  const Mode mode = mode_of(lines_.address_low);
  if (lines_.vpp()) {
    if (is_programming(mode)) {
      vpp_awaits_mode_ = false;
    } else if (!vpp_reported_) {
      vpp_reported_ = true;
      fault("programming voltage on in " + mode_name(mode) + ": only write and erase take it",
            "программирующее напряжение включено в " + russian_mode_name(mode) +
                ": его принимают только запись и стирание");
    }
  }
  if (prog_low(before) && !prog_low(lines_)) end_pulse(mode, now_us);
  if (prog_low(before) && prog_low(lines_) && pulse_ && pulse_->mode != mode) {
    if (pulse_->takes_effect) {
      fault("mode lines changed during the program pulse in " + mode_name(pulse_->mode) +
                "; nothing done",
            "линии режима изменились во время импульса программирования в " +
                russian_mode_name(pulse_->mode) + "; ничего не сделано");
    }
    pulse_->takes_effect = false;
  }
  if (!clock_high(before) && clock_high(lines_)) clock_pulse();
  if (!prog_low(before) && prog_low(lines_)) start_pulse(mode, now_us);
}

void At89cModel::start_pulse(Mode mode, uint64_t now_us) {
  pulse_ = Pulse{mode, now_us, counter_, lines_.data, false};
  if (!is_programming(mode)) return;  // the strobe means nothing in the read modes
  if (busy_until_us_) {
    busy_violation("program pulse", "импульс программирования");
    return;
  }
  const std::string what = mode == Mode::write ? "program pulse" : "erase pulse";
  const std::string russian = mode == Mode::write ? "импульс программирования" : "импульс стирания";
  if (!reset_high(lines_)) {
    fault(what + " with the reset pin low; nothing done",
          russian + " при низком уровне на выводе сброса; ничего не сделано");
  } else if (!lines_.vpp()) {
    fault(what + " without the programming voltage; nothing done",
          russian + " без программирующего напряжения; ничего не сделано");
  } else if (mode == Mode::write && !lines_.data_latch_drives()) {
    fault("program pulse with nothing driving the data lines (control latch " +
              hex(lines_.control, 2) + "); nothing written",
          "импульс программирования, когда на линии данных ничего не выставлено "
          "(регистр управления " +
              hex(lines_.control, 2) + "); ничего не записано");
  } else {
    pulse_->takes_effect = true;
  }
}

void At89cModel::end_pulse(Mode mode, uint64_t now_us) {
  const std::optional<Pulse> pulse = pulse_;
  pulse_.reset();
  if (!pulse || !pulse->takes_effect) return;
  if (pulse->mode != mode) {
    fault("mode lines changed during the program pulse in " + mode_name(pulse->mode) +
              "; nothing done",
          "линии режима изменились во время импульса программирования в " +
              russian_mode_name(pulse->mode) + "; ничего не сделано");
    return;
  }
  if (mode == Mode::write) {
    pending_ = PendingByte{pulse->address, pulse->data};
    busy_reported_ = false;
    busy_until_us_ = cycle_hangs() ? NEVER : now_us + timing_.byte_write_us;
    return;
  }
  const uint64_t held_us = now_us - pulse->start_us;
  if (held_us < timing_.erase_pulse_min_us) {
    fault("erase pulse held " + milliseconds(held_us) + ", shorter than " +
              milliseconds(timing_.erase_pulse_min_us) + "; nothing erased",
          "импульс стирания длился " + milliseconds(held_us, "мс") + ", меньше " +
              milliseconds(timing_.erase_pulse_min_us, "мс") + "; ничего не стёрто");
    return;
  }
  if (!cycle_hangs()) flash_.erase_all();
}

void At89cModel::clock_pulse() {
  const Mode mode = mode_of(lines_.address_low);
  if (mode != Mode::read && mode != Mode::write && mode != Mode::signature) return;
  if (busy_until_us_) busy_violation("address clock", "такт адреса");
  counter_ = (counter_ + 1) % variant_.size;
}

std::optional<uint8_t> At89cModel::drive(const BoardLines& lines, uint64_t now_us) {
  settle(now_us);
  if (!reset_high(lines) || prog_low(lines)) return std::nullopt;
  switch (mode_of(lines.address_low)) {
    case Mode::read:
      return flash_.read(counter_);
    case Mode::signature:
      return counter_ < variant_.signature.size() ? variant_.signature[counter_] : UNUSED_SIGNATURE;
    default:
      return std::nullopt;
  }
}

}  // namespace fp::sim
