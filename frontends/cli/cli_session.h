// One run of the command-line programmer: it starts the program as the
// window does (bus reset, main window with row 0), selects the chip, fills
// the fields from the options, presses the operation's button, drives the
// family dialogs from the options and answers the questions. The exit status
// follows from what the window showed (frontends/cli/exit_status.h).
#pragma once

#include "frontends/cli/cli_options.h"
#include "frontends/cli/console.h"
#include "frontends/cli/exit_status.h"
#include "platform/posix/run_signals.h"

namespace fp::cli {

// signals: held while the run changes the chip; a run they interrupted
// ends with 128 + the signal's number.
int run_command(const CliOptions& options, Console& console, posix::RunSignals& signals);

}  // namespace fp::cli
