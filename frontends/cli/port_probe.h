// programmer probe: what someone connecting a board for the first time needs
// to know, as a short checklist: does the port device exist, may they open
// it (and what to run if not), can the port be claimed, what do the board's
// status lines read; the board is left idle.
#pragma once

#include "frontends/cli/cli_options.h"
#include "frontends/cli/console.h"

namespace fp::cli {

// 0 when everything needed for programming is in place, 1 when something is
// missing, 2 for a --port that is none.
int run_probe(const CliOptions& options, Console& console);

}  // namespace fp::cli
