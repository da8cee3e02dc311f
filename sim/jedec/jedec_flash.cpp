#include "sim/jedec/jedec_flash.h"

#include <algorithm>
#include <cstdio>

namespace fp::sim {
namespace {

constexpr uint32_t UNLOCK_5555 = 0x5555;
constexpr uint32_t UNLOCK_2AAA = 0x2AAA;

constexpr uint8_t CE = 0x10;         // control bit 4: chip enabled
constexpr uint8_t WE = 0x20;         // control bit 5: write strobe
constexpr uint8_t OE_HIGH = 0x40;    // control bit 6: outputs off
constexpr uint8_t LATCH_OFF = 0x80;  // control bit 7: data latch released
constexpr uint8_t VPP = 0x08;
constexpr uint8_t LATCH_CTRL_SELECT = 2;

bool strobe_active(uint8_t control) {
  return (control & (CE | WE)) == (CE | WE);
}
bool output_enabled(uint8_t control) {
  return (control & (CE | WE | OE_HIGH)) == CE;
}

std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%05X", static_cast<unsigned>(value));
  return text;
}

std::string byte_hex(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

const char* operation_name(JedecFlash::Operation operation) {
  switch (operation) {
    case JedecFlash::Operation::page_write:
      return "the page write";
    case JedecFlash::Operation::byte_program:
      return "the byte program";
    case JedecFlash::Operation::chip_erase:
      return "the chip erase";
    case JedecFlash::Operation::sector_erase:
      return "the sector erase";
    default:
      return "an operation";
  }
}

const char* russian_operation_name(JedecFlash::Operation operation) {
  switch (operation) {
    case JedecFlash::Operation::page_write:
      return "записи страницы";
    case JedecFlash::Operation::byte_program:
      return "программирования байта";
    case JedecFlash::Operation::chip_erase:
      return "стирания микросхемы";
    case JedecFlash::Operation::sector_erase:
      return "стирания сектора";
    default:
      return "операции";
  }
}

}  // namespace

JedecFlash::JedecFlash(const JedecVariant& variant)
    : variant_(variant),
      array_(*this, variant.size),
      page_data_(variant.page_size, 0xFF),
      page_loaded_(variant.page_size, false) {}

std::vector<uint8_t>* JedecFlash::memory(std::string_view which) {
  return which == "main" ? &array_.cells() : nullptr;
}

void JedecFlash::report(const std::string& what, const std::string& russian) {
  violation(std::string(variant_.name) + ": " + what, std::string(variant_.name) + ": " + russian);
}

bool JedecFlash::busy() const {
  return operation_ != Operation::idle && operation_ != Operation::page_load;
}

void JedecFlash::start_busy(Operation operation, uint64_t start_us, uint64_t duration_us) {
  operation_ = operation;
  hangs_ = cycle_hangs();
  busy_until_us_ = start_us + duration_us;
}

void JedecFlash::settle(uint64_t now_us) {
  // A page load ends when no cycle has come within the byte-load limit.
  if (operation_ == Operation::page_load && now_us > last_load_us_ + variant_.byte_load_limit_us) {
    start_busy(Operation::page_write, last_load_us_ + variant_.byte_load_limit_us,
               variant_.write_time_us);
  }
  if (busy() && now_us >= busy_until_us_ && !hangs_) finish_operation();
}

void JedecFlash::finish_operation() {
  switch (operation_) {
    case Operation::page_write:
      // While protection is on, a page load without its command starts the
      // write timer but programs nothing.
      if (load_kind_ != LoadKind::plain || !protection_) {
        for (uint32_t i = 0; i < variant_.page_size; ++i) {
          array_.store(page_base_ + i, page_loaded_[i] ? page_data_[i] : 0xFF);
        }
      }
      if (load_kind_ == LoadKind::protection_on) protection_ = true;
      if (load_kind_ == LoadKind::protection_off) protection_ = false;
      break;
    case Operation::byte_program:
      array_.program(target_address_, target_data_);
      break;
    case Operation::chip_erase:
      array_.erase_all();
      break;
    case Operation::sector_erase:
      array_.erase(erase_range_.start, erase_range_.size);
      break;
    default:
      break;
  }
  operation_ = Operation::idle;
}

void JedecFlash::on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) {
  settle(now_us);
  if (select != LATCH_CTRL_SELECT) return;
  const uint8_t before = control_;
  control_ = lines.control;
  if ((before & VPP) == 0 && (control_ & VPP) != 0) {
    report("programming voltage switched on; this chip must never have it",
           "включено программирующее напряжение; этой микросхеме его подавать нельзя");
  }
  // A write cycle is taken when the strobe ends, with the address and data
  // the bus carried during it.
  if (strobe_active(before) && !strobe_active(control_)) {
    const uint32_t address =
        lines.address_low | (lines.address_mid << 8) | ((before & 0x07u) << 16);
    const uint8_t data = (before & LATCH_OFF) == 0 ? lines.data : 0xFF;
    write_cycle(address % variant_.size, data, now_us);
  }
  if (!output_enabled(before) && output_enabled(control_)) {
    // Chips disagree on a read between two bytes of a page load: some take it
    // as the end of the load, some ignore it.
    if (operation_ == Operation::page_load) {
      const std::string at = hex(lines.address() % variant_.size);
      report("read at " + at + " inside the byte-load window of the page at " + hex(page_base_) +
                 "; taken as neither ending nor continuing the load",
             "чтение по адресу " + at + " внутри окна загрузки страницы " + hex(page_base_) +
                 "; не считается ни концом, ни продолжением загрузки");
    }
    // Each new read cycle flips DQ6 while the chip is busy.
    toggle_bit_ = !toggle_bit_;
  }
}

std::optional<uint8_t> JedecFlash::drive(const BoardLines& lines, uint64_t now_us) {
  if (!output_enabled(lines.control)) return std::nullopt;
  settle(now_us);
  const uint32_t address = lines.address() % variant_.size;
  const bool outside_erasing_sector =
      operation_ == Operation::sector_erase && variant_.status_only_in_erasing_sector &&
      (address < erase_range_.start || address - erase_range_.start >= erase_range_.size);
  if (outside_erasing_sector) return array_.read(address);
  if (operation_ != Operation::idle) return status_byte(address);
  if (identification_) {
    return (lines.address() & 1) != 0 ? variant_.device_code : variant_.manufacturer_code;
  }
  return array_.read(address);
}

uint8_t JedecFlash::status_byte(uint32_t address) const {
  // DQ6 toggles from one read to the next at any address. DQ7 shows the
  // complement of the bit being written only where the datasheets promise
  // it: anywhere during an erase (which writes 1s), at the byte being
  // programmed, at the last byte loaded of a page. Elsewhere it shows the bit
  // itself, as though the chip were done.
  uint8_t written_bit7 = 0x80;
  bool complemented = true;
  if (operation_ == Operation::byte_program || operation_ == Operation::page_load ||
      operation_ == Operation::page_write) {
    written_bit7 = target_data_ & 0x80;
    complemented = address == target_address_;
  }
  const uint8_t bit7 = complemented ? (~written_bit7 & 0x80) : written_bit7;
  return static_cast<uint8_t>(bit7 | (toggle_bit_ ? 0x40 : 0x00) | 0x3F);
}

void JedecFlash::write_cycle(uint32_t address, uint8_t data, uint64_t now_us) {
  if (busy()) {
    const uint64_t left = hangs_ ? 0 : busy_until_us_ - now_us;
    report("write cycle " + byte_hex(data) + " at " + hex(address) + " during " +
               operation_name(operation_) +
               (hangs_ ? std::string(" (never ends); ignored")
                       : " (" + std::to_string(left) + " µs left); ignored"),
           "цикл записи " + byte_hex(data) + " по адресу " + hex(address) + " во время " +
               russian_operation_name(operation_) +
               (hangs_ ? std::string(" (операция не кончается); пропущен")
                       : " (осталось " + std::to_string(left) + " мкс); пропущен"));
    return;
  }
  if (operation_ == Operation::page_load) {
    continue_page_load(address, data, now_us);
    return;
  }
  decode_command(address, data, now_us);
}

void JedecFlash::decode_command(uint32_t address, uint8_t data, uint64_t now_us) {
  // Command addresses are decoded from the chip's own address lines only.
  const uint32_t mask = variant_.command_address_mask;
  const uint32_t command_address = address & mask;
  const uint32_t UNLOCK_1 = UNLOCK_5555 & mask;
  const uint32_t UNLOCK_2 = UNLOCK_2AAA & mask;
  const bool page_chip = variant_.write_unit == WriteUnit::page;
  const CommandState state = command_;
  // Any cycle that does not continue a command returns the decoder to ready.
  command_ = CommandState::ready;
  switch (state) {
    case CommandState::ready:
      if (command_address == UNLOCK_1 && data == 0xAA) {
        command_ = CommandState::first_unlock;
      } else if (data == 0xF0 && (identification_ || !page_chip)) {
        identification_ = false;
      } else if (page_chip && !identification_) {
        start_page_load(LoadKind::plain, address, data, now_us);
      }
      break;
    case CommandState::first_unlock:
      if (command_address == UNLOCK_2 && data == 0x55) command_ = CommandState::second_unlock;
      break;
    case CommandState::second_unlock:
      if (command_address != UNLOCK_1) break;
      if (data == 0x90) identification_ = true;
      if (data == 0xF0) identification_ = false;
      if (data == 0x80) command_ = CommandState::erase_setup;
      if (data == 0xA0) {
        pending_load_ = LoadKind::protection_on;
        command_ = page_chip ? CommandState::page_load_data : CommandState::program_data;
      }
      break;
    case CommandState::erase_setup:
      if (command_address == UNLOCK_1 && data == 0xAA) command_ = CommandState::erase_first_unlock;
      break;
    case CommandState::erase_first_unlock:
      if (command_address == UNLOCK_2 && data == 0x55) command_ = CommandState::erase_second_unlock;
      break;
    case CommandState::erase_second_unlock:
      if (data == 0x30) {
        start_sector_erase(address, now_us);
      } else if (command_address == UNLOCK_1 && data == 0x10) {
        target_data_ = 0xFF;
        start_busy(Operation::chip_erase, now_us, variant_.chip_erase_time_us);
      } else if (command_address == UNLOCK_1 && data == 0x20 && page_chip) {
        pending_load_ = LoadKind::protection_off;
        command_ = CommandState::page_load_data;
      }
      break;
    case CommandState::program_data:
      target_address_ = address;
      target_data_ = data;
      start_busy(Operation::byte_program, now_us, variant_.write_time_us);
      break;
    case CommandState::page_load_data:
      start_page_load(pending_load_, address, data, now_us);
      break;
  }
}

void JedecFlash::start_sector_erase(uint32_t address, uint64_t now_us) {
  const auto sector = std::find_if(
      variant_.sectors.begin(), variant_.sectors.end(), [address](const SectorRange& range) {
        return address >= range.start && address - range.start < range.size;
      });
  if (sector == variant_.sectors.end()) {
    report("sector erase at " + hex(address) + " is not a command of this chip; nothing erased",
           "стирание сектора по адресу " + hex(address) +
               " не команда этой микросхемы; ничего не стёрто");
    return;
  }
  erase_range_ = *sector;
  target_data_ = 0xFF;
  start_busy(Operation::sector_erase, now_us, variant_.sector_erase_time_us);
}

void JedecFlash::start_page_load(LoadKind kind, uint32_t address, uint8_t data, uint64_t now_us) {
  operation_ = Operation::page_load;
  load_kind_ = kind;
  page_base_ = address & ~(variant_.page_size - 1);
  std::fill(page_loaded_.begin(), page_loaded_.end(), false);
  continue_page_load(address, data, now_us);
}

void JedecFlash::continue_page_load(uint32_t address, uint8_t data, uint64_t now_us) {
  if ((address & ~(variant_.page_size - 1)) != page_base_) {
    report("page load cycle at " + hex(address) + " outside the page at " + hex(page_base_) +
               " being loaded; ignored",
           "цикл загрузки по адресу " + hex(address) + " вне загружаемой страницы " +
               hex(page_base_) + "; пропущен");
    return;
  }
  const uint32_t offset = address - page_base_;
  page_data_[offset] = data;
  page_loaded_[offset] = true;
  target_address_ = address;
  target_data_ = data;
  last_load_us_ = now_us;
}

ChipModel::LastingState JedecFlash::lasting_state() const {
  return {{"protection", {static_cast<uint8_t>(protection_ ? 1 : 0)}}};
}

bool JedecFlash::restore_lasting_state(const LastingState& state) {
  for (const auto& [name, value] : state) {
    if (name != "protection" || value.size() != 1 || value[0] > 1) return false;
    protection_ = value[0] == 1;
  }
  return true;
}

}  // namespace fp::sim
