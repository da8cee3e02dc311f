// programmer probe: what someone connecting a board for the first time needs
// to know, as a short checklist: does the port device exist, may they open
// it (and what to run if not), can the port be claimed, what do the board's
// status lines read; the board is left idle.
#pragma once

#include <cstdint>

#include "frontends/cli/cli_options.h"
#include "frontends/cli/console.h"
#include "platform/port_io.h"

namespace fp::cli {

// The board's timer, started as the calibration starts it: its status bit
// (STATUS bit 3) must rise at once and fall within the calibration's poll
// limit. Open status lines with no board read all ones or all zeros, so
// neither a missing board nor one without power passes.
struct TimerRun {
  bool rose = false;
  bool fell = false;
  uint32_t polls = 0;  // STATUS reads with the bit up
};
TimerRun run_board_timer(PortIo& port);

// 0 when everything needed for programming is in place, 1 when something is
// missing, 2 for a --port that is none.
int run_probe(const CliOptions& options, Console& console);

}  // namespace fp::cli
