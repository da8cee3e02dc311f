// What the options ask for, judged before the board is touched: the row,
// the image format, options that go with the command, byte values. The
// slice fields are left to the window's rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "chips/common/chip_descriptor.h"
#include "ui/cli/cli_options.h"
#include "ui/cli/image_format.h"
#include "ui/cli/run_outcome.h"

namespace fp::cli {

struct CheckedOptions {
  const ChipDescriptor* row = nullptr;  // none: calibrate without --chip
  ImageFormat format = ImageFormat::raw;
};

// Notes each problem on the outcome as a usage error.
CheckedOptions check_options(const CliOptions& options, RunOutcome& outcome);

bool takes_file(Command command);

// A slice field where it can be read (0 when absent or unreadable: the window judges it).
uint32_t slice_value(const std::optional<std::string>& field);
// The --length, or from the chip offset to the end of the chip.
uint32_t slice_length(const CliOptions& options, uint32_t chip_size);

}  // namespace fp::cli
