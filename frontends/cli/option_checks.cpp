#include "frontends/cli/option_checks.h"

#include <filesystem>
#include <variant>

#include "frontends/cli/chip_choice.h"
#include "frontends/cli/hex_number.h"
#include "frontends/cli/port_choice.h"
#include "platform/posix/file_facts.h"
#include "platform/utf8.h"

namespace fp::cli {
namespace {

std::optional<uint32_t> number(const std::optional<std::string>& text, const char* option,
                               RunOutcome& outcome) {
  if (!text) return std::nullopt;
  const auto value = parse_free_hex(*text);
  if (!value) {
    outcome.usage(std::string(option) + " " + *text +
                  ": not a hexadecimal number of up to 32 bits (as 1C000, 0x1c000 or 1C000h)");
  }
  return value;
}

// Options that only some rows take.
void check_row_options(const CliOptions& options, const ChipDescriptor& row, RunOutcome& outcome) {
  const std::string name = to_utf8(row.name);
  const RowOperations can = row_operations(row);
  if ((options.command == Command::fuses || options.command == Command::lock) && !can.fuses) {
    outcome.usage("the " + name + " has no fuses or lock bits");
  }
  if (options.command == Command::sdp && !can.sdp) {
    outcome.usage("the " + name + " has no software data protection");
  }
  // The byte-program rows' erase takes the whole chip or one block address;
  // the block-erase rows' takes a choice of blocks.
  const bool block_dialog = row.facts.driver == ChipDriver::byte_program;
  const bool blocks_dialog = row.facts.erase == EraseLayout::blocks;
  if (options.blocks && !blocks_dialog) {
    outcome.usage("--blocks goes with the i28F001BX rows; the " + name +
                  (block_dialog ? " erases the whole chip or one block (--block chip|ADDRESS)"
                                : " erases the whole chip only"));
  }
  if (options.block && !block_dialog) {
    outcome.usage(
        "--block goes with the AT49F rows; the " + name +
        (blocks_dialog ? " erases by blocks (--blocks all|LIST)" : " erases the whole chip only"));
  } else if (options.block && *options.block != "chip" && !options.block->empty()) {
    std::string sectors;
    bool starts_one = false;
    const auto address = parse_free_hex(*options.block);
    for (const BlockRange& sector : row.facts.erase_map) {
      sectors += (sectors.empty() ? "" : ", ") + hex(sector.address) + "-" +
                 hex(sector.address + sector.size - 1);
      starts_one = starts_one || (address && *address == sector.address);
    }
    if (row.facts.erase != EraseLayout::sectors || sectors.empty()) {
      outcome.usage("the " + name + " has no sector erase: it erases the whole chip only");
    } else if (!starts_one) {
      outcome.usage("no sector starts at " + *options.block + "; the sectors of the " + name +
                    ": " + sectors);
    }
  }
}

}  // namespace

bool takes_file(Command command) {
  return command == Command::read || command == Command::write || command == Command::verify;
}

bool chosen_by_probe(Command command) {
  switch (command) {
    case Command::id:
    case Command::read:
    case Command::verify:
    case Command::blank:
    case Command::write:
    case Command::erase:
      return true;
    default:
      return false;
  }
}

bool changes_chip(const CliOptions& options) {
  switch (options.command) {
    case Command::write:
    case Command::erase:
    case Command::lock:
      return true;
    case Command::fuses:
      return options.fuse_low || options.fuse_high || options.fuse_extended;
    default:
      return false;
  }
}

CheckedOptions check_options(const CliOptions& options, RunOutcome& outcome) {
  CheckedOptions checked;
  const Command command = options.command;
  if (options.force && !changes_chip(options)) {
    outcome.usage("--force goes with fuses only when it writes fuses (--low, --high, --ext)");
  }
  // An empty list would choose nothing, and nothing done is no success.
  if (options.blocks && options.blocks->empty()) {
    outcome.usage("--blocks needs all or a list of block addresses");
  }
  if (options.block && options.block->empty()) outcome.usage("--block needs chip or an address");
  if (command != Command::calibrate && !chosen_by_probe(command) && options.chip.empty()) {
    outcome.usage("which chip? give --chip NAME or --chip ROW (see: programmer list)");
  } else if (!options.chip.empty()) {
    auto found = find_row(options.chip);
    if (const auto* why = std::get_if<std::string>(&found)) {
      outcome.usage(*why);
    } else {
      checked.row = std::get<const ChipDescriptor*>(found);
    }
  }
  if (checked.row != nullptr) check_row_options(options, *checked.row, outcome);
  for (const auto* fuse : {&options.fuse_low, &options.fuse_high, &options.fuse_extended}) {
    if (*fuse && !parse_byte(**fuse))
      outcome.usage("fuse byte " + **fuse + ": not a hexadecimal byte");
  }
  if (command == Command::lock && !parse_byte(options.lock_value)) {
    outcome.usage("lock byte " + options.lock_value + ": not a hexadecimal byte");
  }
  if (!options.format.empty()) checked.format = format_by_name(options.format);

  checked.file_offset = number(options.file_offset, "--file-offset", outcome).value_or(0);
  checked.chip_offset = number(options.chip_offset, "--chip-offset", outcome).value_or(0);
  checked.length = number(options.length, "--length", outcome);
  if (checked.row != nullptr && takes_file(command)) {
    const uint32_t size = checked.row->size;
    const std::string name = to_utf8(checked.row->name);
    if (uint64_t{checked.file_offset} + checked.slice_length() > uint64_t{1} << 32) {
      outcome.usage("--file-offset " + hex(checked.file_offset) + ": the slice runs past 32 bits");
    } else if (checked.chip_offset >= size) {
      outcome.usage("--chip-offset " + hex(checked.chip_offset) + " lies beyond the " + name +
                    " (" + hex(size) + " bytes)");
    } else if (checked.length && *checked.length == 0) {
      outcome.usage("--length 0: the slice holds no byte");
    } else if (checked.length && uint64_t{checked.chip_offset} + *checked.length > size) {
      outcome.usage("--chip-offset " + hex(checked.chip_offset) + " and --length " +
                    hex(*checked.length) + " run past the end of the " + name + " (" + hex(size) +
                    " bytes)");
    }
  }
  if (takes_file(command) && options.file != "-") {
    // The board save would overwrite what a read put there, or a write would
    // program the board's own text.
    const auto port = parse_port(options.port);
    const auto* choice = std::get_if<PortChoice>(&port);
    const auto* simulated = choice != nullptr ? std::get_if<SimulatedPort>(choice) : nullptr;
    if (simulated != nullptr && !simulated->store.empty() &&
        posix::same_file(options.file, simulated->store)) {
      outcome.usage(options.file + " is both the image file and the board file");
    }
  }
  return checked;
}

}  // namespace fp::cli
