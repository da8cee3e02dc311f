// programmer sum FILE: the sums of an image file's slice, as read, write and
// verify print them for the chip, so that a label and a file can be compared.
#pragma once

#include "frontends/cli/cli_options.h"
#include "frontends/cli/console.h"

namespace fp::cli {

// The slice: --file-offset on, --length bytes, else to the end of the chip
// that --chip names (from --chip-offset), else to the file's end. Record
// files count the bytes they leave out as FF. The exit status.
int run_sum(const CliOptions& options, Console& console);

}  // namespace fp::cli
