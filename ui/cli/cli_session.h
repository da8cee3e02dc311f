// One run of the command-line programmer: it starts the program as the
// window does (bus reset, main window with row 0), selects the chip, fills
// the fields from the options, presses the operation's button, drives the
// family dialogs from the options and answers the questions. The exit status
// follows from what the window showed.
#pragma once

#include "ui/cli/cli_options.h"
#include "ui/cli/console.h"

namespace fp::cli {

inline constexpr int EXIT_SUCCESS_STATUS = 0;
inline constexpr int EXIT_FAILURE_STATUS = 1;  // the operation failed
inline constexpr int EXIT_USAGE_STATUS = 2;    // the command line asked for what cannot be

int run_command(const CliOptions& options, Console& console);

}  // namespace fp::cli
