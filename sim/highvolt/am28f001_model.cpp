#include "sim/highvolt/am28f001_model.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace fp::sim {
namespace {

constexpr uint8_t CMD_READ = 0x00;
constexpr uint8_t CMD_RESET = 0xFF;
constexpr uint8_t CMD_READ_ID = 0x90;
constexpr uint8_t CMD_PROGRAM_SETUP = 0x40;
constexpr uint8_t CMD_PROGRAM_VERIFY = 0xC0;
constexpr uint8_t CMD_ERASE = 0x20;
constexpr uint8_t CMD_ERASE_VERIFY = 0xA0;

std::string hex_byte(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

std::string hex_address(uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%05X", address);
  return text;
}

// The 12 V chips of the AM28F001's pulse-and-verify algorithm.
constexpr std::array<Am28fVariant, 11> VARIANTS{{
    {Am28f001Model::NAME, 0x01, 0xA7, 0x20000},
    {"I28F010", 0x89, 0xB4, 0x20000},
    {"CAT28F010", 0x31, 0xB4, 0x20000},
    {"I28F020", 0x89, 0xBD, 0x40000},
    {"AM28F020", 0x01, 0x2A, 0x40000},
    {"CAT28F020", 0x31, 0xBD, 0x40000},
    {"I28F512", 0x89, 0xB8, 0x10000},
    {"AM28F512", 0x01, 0x25, 0x10000},
    {"CAT28F512", 0x31, 0xB8, 0x10000},
    {"I28F256A", 0x89, 0xB9, 0x8000},
    {"AM28F256", 0x01, 0xA1, 0x8000},
}};

}  // namespace

std::span<const Am28fVariant> am28f_variants() {
  return VARIANTS;
}

const Am28fVariant* find_am28f_variant(std::string_view name) {
  return find_variant(am28f_variants(), name);
}

std::vector<uint8_t>* Am28f001Model::memory(std::string_view which) {
  return which == "main" ? &array_.cells() : nullptr;
}

void Am28f001Model::on_latch(uint8_t select, const BoardLines& lines, uint64_t) {
  const ControlLineTracker::Change change = lines_.update(select, lines);
  if (change.vpp_fell) voltage_off();
  if (change.vpp_rose) mode_ = Mode::read_array;
  if (!change.write_taken) return;
  if (!lines.vpp()) {
    // Without Vpp the chip ignores every cycle; the JEDEC ID sequence of a
    // socket probe is no fault of the driver.
    if (jedec_id_.take(lines.address(), lines.data) != JedecIdTracker::Cycle::other) return;
    violation(std::string(variant_.name) + ": write of " + hex_byte(lines.data) +
                  " without the programming voltage (the chip is read-only then)",
              std::string(variant_.name) + ": запись " + hex_byte(lines.data) +
                  " без программирующего напряжения (тогда микросхема только читается)");
    return;
  }
  write_cycle(lines.address() % variant_.size, lines.data);
}

std::optional<uint8_t> Am28f001Model::drive(const BoardLines& lines, uint64_t) {
  if (!chip_reads(lines)) return std::nullopt;
  const uint32_t address = lines.address() % variant_.size;
  if (!lines.vpp()) return array_.read(address);
  switch (mode_) {
    case Mode::read_id:
      return (address & 1) == 0 ? variant_.manufacturer_code : variant_.device_code;
    case Mode::program_verify:
    case Mode::erase_verify:
      return array_.read(cell_);
    default:
      return array_.read(address);
  }
}

void Am28f001Model::write_cycle(uint32_t address, uint8_t data) {
  switch (mode_) {
    case Mode::program_setup:
      // The data write starts the pulse; it runs until the next write.
      if (address != cell_ || data != pulse_data_) cell_pulses_ = 0;
      cell_ = address;
      pulse_data_ = data;
      mode_ = Mode::programming;
      return;
    case Mode::programming:
      end_program_pulse();
      if (data == CMD_PROGRAM_VERIFY) {
        mode_ = Mode::program_verify;
        return;
      }
      violation(std::string(variant_.name) + ": program pulse ended by " + hex_byte(data) +
                    " instead of the program verify command",
                std::string(variant_.name) + ": импульс программирования закончен командой " +
                    hex_byte(data) + " вместо команды проверки программирования");
      break;
    case Mode::erase_setup:
      if (data == CMD_ERASE) {
        start_erase_pulse();
        mode_ = Mode::erasing;
      } else {
        mode_ = Mode::read_array;
        command(address, data);
      }
      return;
    case Mode::erasing:
      end_erase_pulse();
      if (data == CMD_ERASE_VERIFY) {
        cell_ = address;
        mode_ = Mode::erase_verify;
        return;
      }
      violation(std::string(variant_.name) + ": erase pulse ended by " + hex_byte(data) +
                    " instead of the erase verify command",
                std::string(variant_.name) + ": импульс стирания закончен командой " +
                    hex_byte(data) + " вместо команды проверки стирания");
      break;
    default:
      break;
  }
  command(address, data);
}

void Am28f001Model::command(uint32_t address, uint8_t data) {
  switch (data) {
    case CMD_READ:
    case CMD_RESET:
      mode_ = Mode::read_array;
      break;
    case CMD_READ_ID:
      mode_ = Mode::read_id;
      break;
    case CMD_PROGRAM_SETUP:
      mode_ = Mode::program_setup;
      break;
    case CMD_PROGRAM_VERIFY:
      mode_ = Mode::program_verify;
      break;
    case CMD_ERASE:
      mode_ = Mode::erase_setup;
      break;
    case CMD_ERASE_VERIFY:
      cell_ = address;
      mode_ = Mode::erase_verify;
      break;
    default:
      violation(std::string(variant_.name) + ": unknown command " + hex_byte(data),
                std::string(variant_.name) + ": неизвестная команда " + hex_byte(data));
      mode_ = Mode::read_array;
  }
}

void Am28f001Model::end_program_pulse() {
  ++program_pulses_total_;
  // A programmed cell must go through the whole erase again before a pulse.
  erase_begun_ = false;
  if (cycle_hangs()) return;  // the pulse does not reach the cell
  if (++cell_pulses_ >= program_pulses_needed()) {
    array_.program(cell_, pulse_data_);
    cell_pulses_ = 0;
  }
}

void Am28f001Model::start_erase_pulse() {
  if (erase_begun_) return;
  erase_pulses_ = 0;
  erase_begun_ = true;
  for (uint32_t address = 0; address < variant_.size; ++address) {
    if (array_.read(address) != 0x00) {
      violation(std::string(variant_.name) + ": erase pulse while the byte at " +
                    hex_address(address) + " is not programmed to 00 (over-erase)",
                std::string(variant_.name) + ": импульс стирания, когда байт по адресу " +
                    hex_address(address) + " не запрограммирован в 00 (перестирание)");
      return;
    }
  }
}

void Am28f001Model::end_erase_pulse() {
  if (cycle_hangs()) return;  // the pulse does not reach the cells
  ++erase_pulses_;
  if (erase_pulses_ == erase_pulses_needed()) {
    for (uint32_t address = 0; address < variant_.size; ++address) {
      if (!slow_cells_.contains(address)) array_.store(address, 0xFF);
    }
  }
  for (const auto& [address, pulses] : slow_cells_) {
    if (pulses == erase_pulses_) array_.store(address, 0xFF);
  }
}

void Am28f001Model::voltage_off() {
  if (mode_ == Mode::programming) end_program_pulse();
  if (mode_ == Mode::erasing) end_erase_pulse();
  mode_ = Mode::read_array;
  erase_begun_ = false;
}

uint32_t Am28f001Model::program_pulses_needed() const {
  return std::max<uint32_t>(1, faults().program_pulses.value_or(DEFAULT_PROGRAM_PULSES));
}

uint32_t Am28f001Model::erase_pulses_needed() const {
  return std::max<uint32_t>(1, faults().erase_pulses.value_or(DEFAULT_ERASE_PULSES));
}

}  // namespace fp::sim
