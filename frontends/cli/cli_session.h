// One run of the command-line programmer: it starts the program as the
// window does (bus reset, main window with row 0), selects the chip, fills
// the fields from the options, presses the operation's button, drives the
// family dialogs from the options and answers the questions. The exit status
// follows from what the window showed (frontends/cli/exit_status.h).
#pragma once

#include <string>

#include "frontends/cli/cli_options.h"
#include "frontends/cli/console.h"
#include "frontends/cli/exit_status.h"
#include "platform/posix/run_signals.h"

namespace fp::cli {

// signals: held while the run changes the chip; a run they interrupted
// ends with 128 + the signal's number.
int run_command(const CliOptions& options, Console& console, posix::RunSignals& signals);

// What the 5 V probe finds in the socket, for the row of --chip.
enum class SocketState {
  chip_of_row,  // a chip answers with the row's ID
  empty,        // nothing answers, nothing drives the data lines
  other,        // something else answers or drives them
  unknown       // the board could not be asked: the console says why
};
struct SocketLook {
  SocketState state;
  std::string what;  // the probe's answer as probe_text words it
};
// Opens the board, selects the row as the program does and probes; closes
// the board without saving the chips (a look changes none).
SocketLook look_into_socket(const CliOptions& options, Console& console,
                            posix::RunSignals& signals);

}  // namespace fp::cli
