// What the options ask for, judged before the board is touched: the row,
// the image format, the numbers, options that go with the command and the
// row, byte values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "chips/common/chip_descriptor.h"
#include "frontends/cli/cli_options.h"
#include "frontends/cli/image_format.h"
#include "frontends/cli/run_outcome.h"

namespace fp::cli {

struct CheckedOptions {
  const ChipDescriptor* row = nullptr;  // none: calibrate without --chip
  std::optional<ImageFormat> format;    // none: by the file's content
  uint32_t file_offset = 0;
  uint32_t chip_offset = 0;
  std::optional<uint32_t> length;  // none: to the end of the chip
  // The slice's length on the row's chip.
  [[nodiscard]] uint32_t slice_length() const {
    return length ? *length : row != nullptr ? row->size - chip_offset : 0;
  }
};

// Notes each problem on the outcome as a usage error.
CheckedOptions check_options(const CliOptions& options, RunOutcome& outcome);

bool takes_file(Command command);
// Write, erase, fuse writes and lock: the operations that change the chip.
bool changes_chip(const CliOptions& options);
// Without --chip the command takes the row the socket probe names.
bool chosen_by_probe(Command command);

}  // namespace fp::cli
