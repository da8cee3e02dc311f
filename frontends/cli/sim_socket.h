// programmer sim insert ROW | remove --port sim:FILE: a hand at the simulated
// board's socket, for trying the production loop without hardware. The board
// file is held while it changes, so a loop running on the same file meanwhile
// sees the socket before or after, never half.
#pragma once

#include "frontends/cli/cli_options.h"
#include "frontends/cli/console.h"

namespace fp::cli {

// 0, 1 when the board file could not be changed, 2 for bad usage.
int run_sim_command(const CliOptions& options, Console& console);

}  // namespace fp::cli
