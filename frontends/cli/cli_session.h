// One run of the command-line programmer: it starts the program as the
// window does (bus reset, row 0 selected), selects the chip, confirms its ID
// and calls the operation with the values of the options. The handlers' own
// messages and questions come to it through the main view; the exit status
// follows from the operation's result and those messages
// (frontends/cli/exit_status.h).
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
