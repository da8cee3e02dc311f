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

bool english(const CliOptions& options) {
  return options.language == "en";
}

std::optional<uint32_t> number(const std::optional<std::string>& text, const char* option,
                               const CliOptions& options, RunOutcome& outcome) {
  if (!text) return std::nullopt;
  const auto value = parse_free_hex(*text);
  if (!value) {
    outcome.usage(std::string(option) + " " + *text +
                  (english(options) ? ": not a hexadecimal number of up to 32 bits (as 1C000, "
                                      "0x1c000 or 1C000h)"
                                    : ": не шестнадцатеричное число до 32 бит (например 1C000, "
                                      "0x1c000 или 1C000h)"));
  }
  return value;
}

// Options that only some rows take.
void check_row_options(const CliOptions& options, const ChipDescriptor& row, RunOutcome& outcome) {
  const std::string name = to_utf8(row.name);
  const bool en = english(options);
  const RowOperations can = row_operations(row);
  if ((options.command == Command::fuses || options.command == Command::lock) && !can.fuses) {
    outcome.usage(en ? "the " + name + " has no fuses or lock bits"
                     : "у " + name + " нет фьюзов и лок-битов");
  }
  if (options.command == Command::sdp && !can.sdp) {
    outcome.usage(en ? "the " + name + " has no software data protection"
                     : "у " + name + " нет программной защиты данных");
  }
  // The byte-program rows' erase takes the whole chip or one block address;
  // the block-erase rows' takes a choice of blocks.
  const bool block_dialog = row.facts.driver == ChipDriver::byte_program;
  const bool blocks_dialog = row.facts.erase == EraseLayout::blocks;
  if (options.blocks && !blocks_dialog) {
    if (en) {
      outcome.usage("--blocks goes with the i28F001BX rows; the " + name +
                    (block_dialog ? " erases the whole chip or one block (--block chip|ADDRESS)"
                                  : " erases the whole chip only"));
    } else {
      outcome.usage("--blocks применяется к строкам i28F001BX; " + name +
                    (block_dialog ? " стирается целиком или по одному блоку (--block chip|АДРЕС)"
                                  : " стирается только целиком"));
    }
  }
  if (options.block && !block_dialog) {
    if (en) {
      outcome.usage("--block goes with the AT49F rows; the " + name +
                    (blocks_dialog ? " erases by blocks (--blocks all|LIST)"
                                   : " erases the whole chip only"));
    } else {
      outcome.usage("--block применяется к строкам AT49F; " + name +
                    (blocks_dialog ? " стирается по блокам (--blocks all|СПИСОК)"
                                   : " стирается только целиком"));
    }
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
      outcome.usage(en ? "the " + name + " has no sector erase: it erases the whole chip only"
                       : "у " + name + " нет стирания секторов: она стирается только целиком");
    } else if (!starts_one) {
      outcome.usage(en ? "no sector starts at " + *options.block + "; the sectors of the " + name +
                             ": " + sectors
                       : "ни один сектор не начинается с " + *options.block + "; секторы " + name +
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
  const bool en = english(options);
  const auto pick = [en](const std::string& english_text, const std::string& russian_text) {
    return en ? english_text : russian_text;
  };
  if (options.force && !changes_chip(options)) {
    outcome.usage(pick("--force goes with fuses only when it writes fuses (--low, --high, --ext)",
                       "--force применяется к fuses, только когда фьюзы записываются (--low, "
                       "--high, --ext)"));
  }
  // An empty list would choose nothing, and nothing done is no success.
  if (options.blocks && options.blocks->empty()) {
    outcome.usage(pick("--blocks needs all or a list of block addresses",
                       "для --blocks нужно all или список адресов блоков"));
  }
  if (options.block && options.block->empty()) {
    outcome.usage(pick("--block needs chip or an address", "для --block нужно chip или адрес"));
  }
  if (command != Command::calibrate && !chosen_by_probe(command) && options.chip.empty()) {
    outcome.usage(pick("which chip? give --chip NAME or --chip ROW (see: programmer list)",
                       "какая микросхема? укажите --chip ИМЯ или --chip СТРОКА (см. programmer "
                       "list)"));
  } else if (!options.chip.empty()) {
    auto found = find_row(options.chip, options.language == "en");
    if (const auto* why = std::get_if<std::string>(&found)) {
      outcome.usage(*why);
    } else {
      checked.row = std::get<const ChipDescriptor*>(found);
    }
  }
  if (checked.row != nullptr) check_row_options(options, *checked.row, outcome);
  const std::string not_a_byte = pick(": not a hexadecimal byte", ": не шестнадцатеричный байт");
  for (const auto* fuse : {&options.fuse_low, &options.fuse_high, &options.fuse_extended}) {
    if (*fuse && !parse_byte(**fuse)) {
      outcome.usage(pick("fuse byte ", "байт фьюзов ") + **fuse + not_a_byte);
    }
  }
  if (command == Command::lock && !parse_byte(options.lock_value)) {
    outcome.usage(pick("lock byte ", "байт лок-битов ") + options.lock_value + not_a_byte);
  }
  if (!options.format.empty()) checked.format = format_by_name(options.format);

  checked.file_offset = number(options.file_offset, "--file-offset", options, outcome).value_or(0);
  checked.chip_offset = number(options.chip_offset, "--chip-offset", options, outcome).value_or(0);
  checked.length = number(options.length, "--length", options, outcome);
  if (checked.row != nullptr && takes_file(command)) {
    const uint32_t size = checked.row->size;
    const std::string name = to_utf8(checked.row->name);
    const std::string bytes = " (" + hex(size) + pick(" bytes)", " байтов)");
    if (uint64_t{checked.file_offset} + checked.slice_length() > uint64_t{1} << 32) {
      outcome.usage("--file-offset " + hex(checked.file_offset) +
                    pick(": the slice runs past 32 bits", ": срез выходит за 32 бита"));
    } else if (checked.chip_offset >= size) {
      outcome.usage("--chip-offset " + hex(checked.chip_offset) +
                    pick(" lies beyond the " + name, " лежит за концом " + name) + bytes);
    } else if (checked.length && *checked.length == 0) {
      outcome.usage(
          pick("--length 0: the slice holds no byte", "--length 0: в срезе нет ни байта"));
    } else if (checked.length && uint64_t{checked.chip_offset} + *checked.length > size) {
      outcome.usage("--chip-offset " + hex(checked.chip_offset) +
                    pick(" and --length ", " и --length ") + hex(*checked.length) +
                    pick(" run past the end of the " + name, " выходят за конец " + name) + bytes);
    }
  }
  if (takes_file(command) && options.file != "-") {
    // The board save would overwrite what a read put there, or a write would
    // program the board's own text.
    const auto port = parse_port(options.port, en);
    const auto* choice = std::get_if<PortChoice>(&port);
    const auto* simulated = choice != nullptr ? std::get_if<SimulatedPort>(choice) : nullptr;
    if (simulated != nullptr && !simulated->store.empty() &&
        posix::same_file(options.file, simulated->store)) {
      outcome.usage(options.file + pick(" is both the image file and the board file",
                                        " — одновременно файл образа и файл платы"));
    }
  }
  return checked;
}

}  // namespace fp::cli
