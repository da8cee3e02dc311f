#include "ui/cli/option_checks.h"

#include <variant>

#include "app/main_window.h"
#include "ui/cli/chip_choice.h"
#include "ui/cli/hex_number.h"

namespace fp::cli {

bool takes_file(Command command) {
  return command == Command::read || command == Command::write || command == Command::verify;
}

uint32_t slice_value(const std::optional<std::string>& field) {
  const auto value = field ? parse_extra_field(*field) : std::optional<uint32_t>(0);
  return value.value_or(0);
}

uint32_t slice_length(const CliOptions& options, uint32_t chip_size) {
  if (options.length) return parse_extra_field(*options.length).value_or(0);
  const uint32_t start = slice_value(options.chip_offset);
  return start < chip_size ? chip_size - start : 0;
}

CheckedOptions check_options(const CliOptions& options, RunOutcome& outcome) {
  CheckedOptions checked;
  const Command command = options.command;
  const bool slice = options.file_offset || options.chip_offset || options.length;
  if (slice && !takes_file(command))
    outcome.usage("--file-offset, --chip-offset and --length go with read, write and verify");
  if (options.blocks && command != Command::blank && command != Command::erase) {
    outcome.usage("--blocks goes with blank and erase");
  }
  if (options.block && command != Command::erase) outcome.usage("--block goes with erase");
  if (!options.format.empty() && !takes_file(command))
    outcome.usage("--format goes with read, write and verify");
  if (command != Command::calibrate && options.chip.empty()) {
    outcome.usage("which chip? give --chip NAME or --chip ROW (see: programmer list)");
  } else if (!options.chip.empty()) {
    auto found = find_row(options.chip);
    if (const auto* why = std::get_if<std::string>(&found)) {
      outcome.usage(*why);
    } else {
      checked.row = std::get<const ChipDescriptor*>(found);
    }
  }
  for (const auto* fuse : {&options.fuse_low, &options.fuse_high, &options.fuse_extended}) {
    if (*fuse && !parse_byte(**fuse))
      outcome.usage("fuse byte " + **fuse + ": not a hexadecimal byte");
  }
  if (command == Command::lock && !parse_byte(options.lock_value)) {
    outcome.usage("lock byte " + options.lock_value + ": not a hexadecimal byte");
  }
  if (takes_file(command)) {
    checked.format =
        options.format.empty() ? format_for_path(options.file) : *format_by_name(options.format);
  }
  return checked;
}

}  // namespace fp::cli
