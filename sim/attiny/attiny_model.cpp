#include "sim/attiny/attiny_model.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace fp::sim {
namespace {

// Latch selects as the board decodes them.
constexpr uint8_t SELECT_CONTROL = 2;
constexpr uint8_t SELECT_LINES = 4;  // the address-low latch

// Programming lines on the address-low latch.
constexpr uint8_t XA1_BS2 = 0x01;
constexpr uint8_t XA0 = 0x02;
constexpr uint8_t BS1_PAGEL = 0x04;
constexpr uint8_t WR_N = 0x08;
constexpr uint8_t OE_N = 0x10;
constexpr uint8_t XTAL1 = 0x20;
// The lines the chip samples as its programming-mode signature.
constexpr uint8_t PROG_ENABLE = XA1_BS2 | XA0 | BS1_PAGEL;
// Entry needs XTAL1 toggled at least six times before the voltage rises.
constexpr int ENTRY_TOGGLES = 6;

constexpr uint8_t CMD_CHIP_ERASE = 0x80;
constexpr uint8_t CMD_WRITE_FUSE = 0x40;
constexpr uint8_t CMD_WRITE_LOCK = 0x20;
constexpr uint8_t CMD_WRITE_FLASH = 0x10;
constexpr uint8_t CMD_WRITE_EEPROM = 0x11;
constexpr uint8_t CMD_READ_SIGNATURE = 0x08;
constexpr uint8_t CMD_READ_FUSE_LOCK = 0x04;
constexpr uint8_t CMD_READ_FLASH = 0x02;
constexpr uint8_t CMD_READ_EEPROM = 0x03;

// Only bit 0 of the extended fuse byte and bits 0-1 of the lock byte exist.
constexpr uint8_t EXTENDED_UNUSED = 0xFE;
constexpr uint8_t LOCK_UNUSED = 0xFC;
// Fuse high bit 6: EESAVE, programmed (0) keeps the EEPROM through a chip erase.
constexpr uint8_t EESAVE = 0x40;

bool rises(uint8_t before, uint8_t after, uint8_t line) {
  return (before & line) == 0 && (after & line) != 0;
}
bool falls(uint8_t before, uint8_t after, uint8_t line) {
  return (before & line) != 0 && (after & line) == 0;
}

std::string hex(uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

std::string command_text(const std::optional<uint8_t>& command) {
  return command ? "command " + hex(*command) : std::string("no command loaded");
}
// "under command 10", in Russian.
std::string russian_under(const std::optional<uint8_t>& command) {
  return command ? "при команде " + hex(*command) : std::string("без загруженной команды");
}

// The Russian of the operations and steps the notes name.
std::string russian(std::string_view english) {
  static constexpr std::pair<std::string_view, std::string_view> WORDS[] = {
      {"chip erase", "стирание микросхемы"},
      {"flash page write", "запись страницы флэш-памяти"},
      {"EEPROM page write", "запись страницы EEPROM"},
      {"lock bit write", "запись лок-битов"},
      {"fuse write", "запись фьюзов"},
      {"byte loaded", "загрузка байта"},
      {"page buffer strobe", "строб буфера страницы"},
      {"/WR pulse", "импульс /WR"},
  };
  for (const auto& [en, ru] : WORDS) {
    if (english == en) return std::string(ru);
  }
  return std::string(english);
}

bool known_command(uint8_t command) {
  switch (command) {
    case CMD_CHIP_ERASE:
    case CMD_WRITE_FUSE:
    case CMD_WRITE_LOCK:
    case CMD_WRITE_FLASH:
    case CMD_WRITE_EEPROM:
    case CMD_READ_SIGNATURE:
    case CMD_READ_FUSE_LOCK:
    case CMD_READ_FLASH:
    case CMD_READ_EEPROM:
      return true;
    default:
      return false;
  }
}

bool read_command(const std::optional<uint8_t>& command) {
  return command == CMD_READ_SIGNATURE || command == CMD_READ_FUSE_LOCK ||
         command == CMD_READ_FLASH || command == CMD_READ_EEPROM;
}

}  // namespace

const AttinyVariant& attiny2313_variant() {
  static constexpr AttinyVariant VARIANT{
      .name = "ATTINY2313",
      .signature = {0x1E, 0x91, 0x0A},
      .calibration = 0x5A,
      .flash_words = 1024,
      .flash_page_words = 16,
      .eeprom_bytes = 128,
      .eeprom_page_bytes = 4,
      .factory_fuses = {.low = 0x64, .high = 0xDF, .extended = 0xFF, .lock = 0xFF},
  };
  return VARIANT;
}

const AttinyVariant& attiny4313_variant() {
  static constexpr AttinyVariant VARIANT{
      .name = "ATTINY4313",
      .signature = {0x1E, 0x92, 0x0D},
      .calibration = 0x5C,
      .flash_words = 2048,
      .flash_page_words = 32,
      .eeprom_bytes = 256,
      .eeprom_page_bytes = 4,
      .factory_fuses = {.low = 0x64, .high = 0xDF, .extended = 0xFF, .lock = 0xFF},
  };
  return VARIANT;
}

AttinyModel::AttinyModel(const AttinyVariant& variant)
    : variant_(variant),
      flash_(*this, variant.flash_words * 2),
      eeprom_(variant.eeprom_bytes, 0xFF),
      fuses_(variant.factory_fuses),
      calibration_(variant.calibration),
      flash_page_(variant.flash_page_words),
      eeprom_page_(variant.eeprom_page_bytes) {}

std::vector<uint8_t>* AttinyModel::memory(std::string_view which) {
  if (which == "main") return &flash_.cells();
  if (which == "eeprom") return &eeprom_;
  return nullptr;
}

void AttinyModel::on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) {
  finish_due(now_us);
  if (select == SELECT_CONTROL && lines.vpp() != vpp_) {
    vpp_ = lines.vpp();
    voltage_changed(vpp_, pattern_, now_us);
  } else if (select == SELECT_LINES && lines.address_low != pattern_) {
    const uint8_t before = pattern_;
    pattern_ = lines.address_low;
    pattern_changed(before, pattern_, lines, now_us);
  }
}

void AttinyModel::voltage_changed(bool on, uint8_t pattern, uint64_t now_us) {
  if (!on) {
    if (busy_ && busy_->done_at_us != NEVER) {
      violation("ATtiny2313: programming voltage removed before the " + busy_->name + " finished",
                "ATtiny2313: программирующее напряжение снято до конца операции «" +
                    russian(busy_->name) + "»");
    }
    busy_.reset();
    mode_ = Mode::off;
    command_.reset();
    entry_toggles_ = 0;
    return;
  }
  if (entry_toggles_ >= ENTRY_TOGGLES && (pattern & PROG_ENABLE) == 0) {
    mode_ = Mode::programming;
    ready_at_us_ = now_us + timing_.entry_settle_us;
    command_.reset();
    for (auto& word : flash_page_) word.reset();
    for (auto& byte : eeprom_page_) byte.reset();
  } else {
    mode_ = Mode::refused;
    violation(
        "ATtiny2313: programming voltage applied without the entry sequence (XTAL1 toggled " +
            std::to_string(entry_toggles_) + " times with XA1, XA0 and BS1 low, " +
            std::to_string(ENTRY_TOGGLES) + " needed); the chip stays out of programming mode",
        "ATtiny2313: программирующее напряжение подано без входной последовательности "
        "(XTAL1 переключён " +
            std::to_string(entry_toggles_) + " раз при низких XA1, XA0 и BS1, нужно " +
            std::to_string(ENTRY_TOGGLES) + "); микросхема не входит в режим программирования");
  }
  entry_toggles_ = 0;
}

void AttinyModel::count_entry_toggles(uint8_t before, uint8_t after) {
  if ((after & PROG_ENABLE) != 0) {
    entry_toggles_ = 0;
  } else if (((before ^ after) & XTAL1) != 0) {
    ++entry_toggles_;
  }
}

void AttinyModel::pattern_changed(uint8_t before, uint8_t after, const BoardLines& lines,
                                  uint64_t now_us) {
  if (!vpp_) {
    count_entry_toggles(before, after);
    return;
  }
  if (mode_ != Mode::programming) return;
  if (rises(before, after, XTAL1)) xtal1_pulse(after, lines, now_us);
  if (falls(before, after, WR_N)) write_pulse(after, now_us);
  // BS1 and PAGEL share a pin: it strobes the page buffer only in a data load.
  if (falls(before, after, BS1_PAGEL) && (before & XA0) != 0) pagel_strobe(now_us);
  if (falls(before, after, OE_N)) output_enabled();
}

bool AttinyModel::ready_for(const char* what, uint64_t now_us) {
  if (busy_) {
    if (!busy_reported_) {
      violation(
          std::string("ATtiny2313: ") + what + " during the " + busy_->name,
          "ATtiny2313: " + russian(what) + " во время операции «" + russian(busy_->name) + "»");
      busy_reported_ = true;
    }
    return false;
  }
  if (now_us < ready_at_us_) {
    const std::string after = std::to_string(now_us + timing_.entry_settle_us - ready_at_us_);
    const std::string needed = std::to_string(timing_.entry_settle_us);
    violation(std::string("ATtiny2313: ") + what + " " + after +
                  " µs after entering programming mode (" + needed + " µs needed)",
              "ATtiny2313: " + russian(what) + " через " + after +
                  " мкс после входа в режим программирования (нужно " + needed + " мкс)");
    return false;
  }
  return true;
}

void AttinyModel::xtal1_pulse(uint8_t pattern, const BoardLines& lines, uint64_t now_us) {
  if (!ready_for("byte loaded", now_us)) return;
  if (!lines.data_latch_drives()) {
    violation("ATtiny2313: byte loaded while nothing drives the data pins",
              "ATtiny2313: байт загружен, когда на выводы данных ничего не выставлено");
    return;
  }
  const uint8_t value = lines.data;
  const bool high = (pattern & BS1_PAGEL) != 0;
  switch (pattern & (XA1_BS2 | XA0)) {
    case 0:
      (high ? address_high_ : address_low_) = value;
      break;
    case XA0:
      (high ? data_high_ : data_low_) = value;
      break;
    case XA1_BS2:
      if (!known_command(value)) {
        violation("ATtiny2313: unknown command " + hex(value),
                  "ATtiny2313: неизвестная команда " + hex(value));
        command_.reset();
        return;
      }
      command_ = value;
      break;
    default:
      violation("ATtiny2313: XTAL1 pulse with XA1 and XA0 both high loads nothing",
                "ATtiny2313: импульс XTAL1 при высоких XA1 и XA0 ничего не загружает");
      break;
  }
}

uint32_t AttinyModel::word_address() const {
  return ((address_high_ << 8) | address_low_) % variant_.flash_words;
}

void AttinyModel::pagel_strobe(uint64_t now_us) {
  if (!ready_for("page buffer strobe", now_us)) return;
  if (command_ == CMD_WRITE_FLASH) {
    flash_page_[address_low_ % variant_.flash_page_words] =
        static_cast<uint16_t>(data_low_ | (data_high_ << 8));
  } else if (command_ == CMD_WRITE_EEPROM) {
    eeprom_page_[address_low_ % variant_.eeprom_page_bytes] = data_low_;
  } else {
    violation("ATtiny2313: page buffer strobe under " + command_text(command_),
              "ATtiny2313: строб буфера страницы " + russian_under(command_));
  }
}

void AttinyModel::write_pulse(uint8_t pattern, uint64_t now_us) {
  if (!ready_for("/WR pulse", now_us)) return;
  if (!command_ || read_command(command_)) {
    violation("ATtiny2313: /WR pulse under " + command_text(command_) + ", which writes nothing",
              "ATtiny2313: импульс /WR " + russian_under(command_) + " ничего не записывает");
    return;
  }
  switch (*command_) {
    case CMD_CHIP_ERASE:
      start("chip erase", timing_.chip_erase_us, now_us, [this] { chip_erase(); });
      break;
    case CMD_WRITE_FLASH: {
      const uint32_t page_words = variant_.flash_page_words;
      const uint32_t first = word_address() / page_words * page_words;
      auto page = flash_page_;
      for (auto& word : flash_page_) word.reset();
      if (programming_locked()) {
        violation("ATtiny2313: flash page write ignored, lock bit LB1 is programmed",
                  "ATtiny2313: запись страницы флэш-памяти не выполнена: запрограммирован "
                  "лок-бит LB1");
        return;
      }
      start("flash page write", timing_.flash_page_us, now_us, [this, first, page] {
        for (uint32_t i = 0; i < page.size(); ++i) {
          if (!page[i]) continue;
          flash_.program(2 * (first + i), static_cast<uint8_t>(*page[i]));
          flash_.program(2 * (first + i) + 1, static_cast<uint8_t>(*page[i] >> 8));
        }
      });
      break;
    }
    case CMD_WRITE_EEPROM: {
      const uint32_t page_bytes = variant_.eeprom_page_bytes;
      const uint32_t first = address_low_ % variant_.eeprom_bytes / page_bytes * page_bytes;
      auto page = eeprom_page_;
      for (auto& byte : eeprom_page_) byte.reset();
      if (programming_locked()) {
        violation("ATtiny2313: EEPROM page write ignored, lock bit LB1 is programmed",
                  "ATtiny2313: запись страницы EEPROM не выполнена: запрограммирован лок-бит LB1");
        return;
      }
      // Each loaded byte is erased and written; the others keep their value.
      start("EEPROM page write", timing_.eeprom_page_us, now_us, [this, first, page] {
        for (uint32_t i = 0; i < page.size(); ++i) {
          if (page[i]) eeprom_[first + i] = *page[i];
        }
      });
      break;
    }
    case CMD_WRITE_FUSE:
      fuse_write(pattern, now_us);
      break;
    case CMD_WRITE_LOCK: {
      if ((pattern & (XA1_BS2 | BS1_PAGEL)) != 0) {
        violation("ATtiny2313: lock bits written with BS1 or BS2 high",
                  "ATtiny2313: лок-биты записываются при высоком BS1 или BS2");
        return;
      }
      // Lock bits only go from 1 to 0; a chip erase clears them.
      const auto value = static_cast<uint8_t>(data_low_ | LOCK_UNUSED);
      start("lock bit write", timing_.fuse_us, now_us, [this, value] { fuses_.lock &= value; });
      break;
    }
    default:
      break;
  }
}

void AttinyModel::fuse_write(uint8_t pattern, uint64_t now_us) {
  uint8_t FuseBytes::*target = nullptr;
  uint8_t value = data_low_;
  switch (pattern & (XA1_BS2 | BS1_PAGEL)) {
    case 0:
      target = &FuseBytes::low;
      break;
    case BS1_PAGEL:
      target = &FuseBytes::high;
      break;
    case XA1_BS2:
      target = &FuseBytes::extended;
      value |= EXTENDED_UNUSED;
      break;
    default:
      violation("ATtiny2313: fuse write with BS2 and BS1 both high selects no fuse byte",
                "ATtiny2313: запись фьюзов при высоких BS2 и BS1 не выбирает ни один байт фьюзов");
      return;
  }
  if (programming_locked()) {
    violation("ATtiny2313: fuse write ignored, lock bit LB1 is programmed",
              "ATtiny2313: запись фьюзов не выполнена: запрограммирован лок-бит LB1");
    return;
  }
  start("fuse write", timing_.fuse_us, now_us, [this, target, value] { fuses_.*target = value; });
}

void AttinyModel::chip_erase() {
  flash_.erase_all();
  if ((fuses_.high & EESAVE) != 0) std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
  fuses_.lock = 0xFF;
}

void AttinyModel::output_enabled() {
  if (!read_command(command_)) {
    violation("ATtiny2313: /OE low under " + command_text(command_) + ", which reads nothing",
              "ATtiny2313: низкий /OE " + russian_under(command_) + " ничего не читает");
  }
}

void AttinyModel::start(std::string name, uint64_t busy_us, uint64_t now_us,
                        const std::function<void()>& apply) {
  // The result shows at once; the busy time only guards against early loads.
  // A chip that never gets ready never finishes anything.
  if (cycle_hangs()) {
    busy_ = Busy{std::move(name), NEVER};
  } else {
    apply();
    busy_ = Busy{std::move(name), now_us + busy_us};
  }
  busy_reported_ = false;
}

void AttinyModel::finish_due(uint64_t now_us) {
  if (busy_ && now_us >= busy_->done_at_us) busy_.reset();
}

std::optional<uint8_t> AttinyModel::drive(const BoardLines& lines, uint64_t now_us) {
  finish_due(now_us);
  const uint8_t pattern = lines.address_low;
  if (mode_ != Mode::programming || (pattern & OE_N) != 0 || !command_) return std::nullopt;
  const bool bs1 = (pattern & BS1_PAGEL) != 0;
  const bool bs2 = (pattern & XA1_BS2) != 0;
  switch (*command_) {
    case CMD_READ_FLASH:
      if (reading_locked()) return 0xFF;
      return flash_.read(2 * word_address() + (bs1 ? 1 : 0));
    case CMD_READ_EEPROM:
      if (reading_locked()) return 0xFF;
      return eeprom_[address_low_ % variant_.eeprom_bytes];
    case CMD_READ_SIGNATURE:
      if (bs1) return address_low_ == 0 ? calibration_ : uint8_t{0xFF};
      return address_low_ < variant_.signature.size() ? variant_.signature[address_low_]
                                                      : uint8_t{0xFF};
    case CMD_READ_FUSE_LOCK:
      if (bs2) return bs1 ? fuses_.high : fuses_.extended;
      return bs1 ? fuses_.lock : fuses_.low;
    default:
      return std::nullopt;
  }
}

ChipModel::LastingState AttinyModel::lasting_state() const {
  return {{"fuses", {fuses_.low, fuses_.high, fuses_.extended, fuses_.lock}}};
}

bool AttinyModel::restore_lasting_state(const LastingState& state) {
  for (const auto& [name, value] : state) {
    if (name != "fuses" || value.size() != 4) return false;
    fuses_ = {value[0], value[1], value[2], value[3]};
  }
  return true;
}

}  // namespace fp::sim
