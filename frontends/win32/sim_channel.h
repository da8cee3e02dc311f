// programmer-sim.exe's end of the channel for the simulated board's own
// script commands (sim_hooks.h): played on the window's thread, by the same
// code as programmer-script plays them. The thread takes them whenever it
// reads messages; the test driver sends them only once the top-most window
// is idle, as a script plays them between two operator actions.
#pragma once

#include "frontends/headless/sim_commands.h"
#include "frontends/win32/win32_dialog_view.h"
#include "sim/simulated_board.h"

namespace fp::win32 {

// Takes SIM_COMMAND and SIM_PING messages and the posted SIM_INPUT_MARK;
// others go on to next.
MessageHook sim_channel_hook(headless::SimCommands& commands, const sim::SimulatedBoard& board,
                             MessageHook next);

}  // namespace fp::win32
