// One run of the command-line programmer: it starts the program as the
// window does (bus reset, main window with row 0), selects the chip, fills
// the fields from the options, presses the operation's button, drives the
// family dialogs from the options and answers the questions. The exit status
// follows from what the window showed (ui/cli/exit_status.h).
#pragma once

#include "ui/cli/cli_options.h"
#include "ui/cli/console.h"
#include "ui/cli/exit_status.h"

namespace fp::cli {

int run_command(const CliOptions& options, Console& console);

}  // namespace fp::cli
