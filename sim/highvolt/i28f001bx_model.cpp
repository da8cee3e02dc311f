#include "sim/highvolt/i28f001bx_model.h"

#include <array>
#include <cstdio>
#include <string>

namespace fp::sim {
namespace {

constexpr uint8_t ST_READY = 0x80;
constexpr uint8_t ST_ERASE_ERROR = 0x20;
constexpr uint8_t ST_PROGRAM_ERROR = 0x10;
constexpr uint8_t ST_VPP_LOW = 0x08;

constexpr uint8_t CMD_READ_ARRAY = 0xFF;
constexpr uint8_t CMD_READ_ID = 0x90;
constexpr uint8_t CMD_READ_STATUS = 0x70;
constexpr uint8_t CMD_CLEAR_STATUS = 0x50;
constexpr uint8_t CMD_ERASE_SETUP = 0x20;
constexpr uint8_t CMD_ERASE_CONFIRM = 0xD0;
constexpr uint8_t CMD_PROGRAM_SETUP = 0x40;
constexpr uint8_t CMD_PROGRAM_SETUP_ALT = 0x10;

// Blocks of 8 KiB and less erase in the short time.
constexpr uint32_t SMALL_BLOCK_LIMIT = 0x2000;

constexpr std::array<I28fBlock, 4> TOP_BOOT{
    {{0x00000, 0x1C000}, {0x1C000, 0x1000}, {0x1D000, 0x1000}, {0x1E000, 0x2000}}};
constexpr std::array<I28fBlock, 4> BOTTOM_BOOT{
    {{0x00000, 0x2000}, {0x02000, 0x1000}, {0x03000, 0x1000}, {0x04000, 0x1C000}}};

constexpr std::array<I28fVariant, 4> VARIANTS{{
    {"I28F001BX-T", 0x94, TOP_BOOT},
    {"I28F001BX-B", 0x95, BOTTOM_BOOT},
    // Catalyst's second source; its block erase may take up to 15 s.
    {"CAT28F001-T", 0x94, TOP_BOOT, 0x31},
    {"CAT28F001-B", 0x95, BOTTOM_BOOT, 0x31},
}};

std::string hex_byte(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

}  // namespace

std::span<const I28fVariant> i28f_variants() {
  return VARIANTS;
}

const I28fVariant* find_i28f_variant(std::string_view name) {
  return find_variant(i28f_variants(), name);
}

std::vector<uint8_t>* I28f001bxModel::memory(std::string_view which) {
  return which == "main" ? &array_.cells() : nullptr;
}

void I28f001bxModel::on_latch(uint8_t select, const BoardLines& lines, uint64_t now_us) {
  const ControlLineTracker::Change change = lines_.update(select, lines);
  settle(now_us);
  if (change.vpp_fell && operation_ != Operation::none) abort_for_low_voltage();
  if (change.write_taken) write_cycle(lines.address() % SIZE, lines.data, lines.vpp(), now_us);
}

std::optional<uint8_t> I28f001bxModel::drive(const BoardLines& lines, uint64_t now_us) {
  if (!chip_reads(lines)) return std::nullopt;
  switch (mode_) {
    case Mode::read_array:
      return array_.read(lines.address() % SIZE);
    case Mode::read_id:
      return (lines.address() & 1) == 0 ? variant_.manufacturer_code : variant_.device_code;
    default:
      return status(now_us);
  }
}

uint8_t I28f001bxModel::status(uint64_t now_us) {
  settle(now_us);
  return static_cast<uint8_t>((operation_ == Operation::none ? ST_READY : 0) | error_bits_);
}

void I28f001bxModel::write_cycle(uint32_t address, uint8_t data, bool vpp, uint64_t now_us) {
  if (operation_ != Operation::none) {
    // A busy write state machine listens to nothing but the status request.
    if (data == CMD_READ_STATUS) {
      mode_ = Mode::read_status;
    } else {
      violation(std::string(variant_.name) + ": write of " + hex_byte(data) +
                    " while a program or erase is running",
                std::string(variant_.name) + ": запись " + hex_byte(data) +
                    " во время программирования или стирания");
    }
    return;
  }
  switch (mode_) {
    case Mode::program_setup:
      start_program(address, data, vpp, now_us);
      return;
    case Mode::erase_setup:
      if (data == CMD_ERASE_CONFIRM) {
        start_erase(address, vpp, now_us);
      } else {
        // A broken erase sequence is a command sequence error.
        error_bits_ |= ST_ERASE_ERROR | ST_PROGRAM_ERROR;
        mode_ = Mode::read_status;
        violation(std::string(variant_.name) + ": erase setup followed by " + hex_byte(data) +
                      " instead of the confirm command",
                  std::string(variant_.name) + ": за подготовкой стирания идёт " + hex_byte(data) +
                      " вместо команды подтверждения");
      }
      return;
    default:
      break;
  }
  // The chip answers the JEDEC software ID as well as its own 90h.
  switch (jedec_id_.take(address, data)) {
    case JedecIdTracker::Cycle::unlock:
      return;
    case JedecIdTracker::Cycle::enter:
      mode_ = Mode::read_id;
      return;
    case JedecIdTracker::Cycle::leave:
      mode_ = Mode::read_array;
      return;
    case JedecIdTracker::Cycle::other:
      command(data);
  }
}

void I28f001bxModel::command(uint8_t data) {
  switch (data) {
    case CMD_READ_ARRAY:
      mode_ = Mode::read_array;
      break;
    case CMD_READ_ID:
      mode_ = Mode::read_id;
      break;
    case CMD_READ_STATUS:
      mode_ = Mode::read_status;
      break;
    case CMD_CLEAR_STATUS:
      error_bits_ = 0;
      break;
    case CMD_ERASE_SETUP:
      mode_ = Mode::erase_setup;
      break;
    case CMD_PROGRAM_SETUP:
    case CMD_PROGRAM_SETUP_ALT:
      mode_ = Mode::program_setup;
      break;
    default:
      violation(std::string(variant_.name) + ": unknown command " + hex_byte(data),
                std::string(variant_.name) + ": неизвестная команда " + hex_byte(data));
  }
}

void I28f001bxModel::start_program(uint32_t address, uint8_t data, bool vpp, uint64_t now_us) {
  mode_ = Mode::read_status;
  if (!vpp) {
    error_bits_ |= ST_VPP_LOW | ST_PROGRAM_ERROR;
    return;
  }
  operation_ = Operation::program;
  hangs_ = cycle_hangs();
  operation_address_ = address;
  operation_data_ = data;
  busy_until_us_ = now_us + timing_.program_us;
}

void I28f001bxModel::start_erase(uint32_t address, bool vpp, uint64_t now_us) {
  mode_ = Mode::read_status;
  if (!vpp) {
    error_bits_ |= ST_VPP_LOW | ST_ERASE_ERROR;
    return;
  }
  operation_ = Operation::erase;
  hangs_ = cycle_hangs();
  operation_address_ = address;
  const bool small = block_of(address).size <= SMALL_BLOCK_LIMIT;
  busy_until_us_ = now_us + (small ? timing_.small_block_erase_us : timing_.large_block_erase_us);
}

void I28f001bxModel::settle(uint64_t now_us) {
  if (operation_ == Operation::none || hangs_ || now_us < busy_until_us_) return;
  if (operation_ == Operation::program) {
    if (!array_.program(operation_address_, operation_data_)) error_bits_ |= ST_PROGRAM_ERROR;
  } else {
    const I28fBlock& block = block_of(operation_address_);
    array_.erase(block.start, block.size);
    for (uint32_t i = 0; i < block.size; ++i) {
      if (array_.read(block.start + i) != 0xFF) {
        error_bits_ |= ST_ERASE_ERROR;
        break;
      }
    }
  }
  operation_ = Operation::none;
}

void I28f001bxModel::abort_for_low_voltage() {
  error_bits_ |=
      ST_VPP_LOW | (operation_ == Operation::program ? ST_PROGRAM_ERROR : ST_ERASE_ERROR);
  operation_ = Operation::none;
}

const I28fBlock& I28f001bxModel::block_of(uint32_t address) const {
  for (const I28fBlock& block : variant_.blocks) {
    if (address >= block.start && address - block.start < block.size) return block;
  }
  return variant_.blocks.front();
}

}  // namespace fp::sim
