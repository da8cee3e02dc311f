// programmer write FILE --repeat [--count N]: one chip after another at a
// production bench. For each chip: wait until the probe finds a chip of the
// row in the socket (rows whose chip gives no ID at 5 V: until Enter), write
// and verify it as a plain write does, say PASS or FAIL with the tally, wait
// until the chip is taken out. Ctrl-C between chips ends the loop with the
// tally; during a chip it ends the loop as it ends a write.
#pragma once

#include <chrono>
#include <string>

#include "frontends/cli/cli_options.h"
#include "frontends/cli/console.h"
#include "platform/posix/run_signals.h"

namespace fp::cli {

// One chip of the loop, as it ended.
struct ChipResult {
  unsigned number = 0;  // counted from 1
  bool passed = false;
  int status = 0;  // the write's exit status
  std::string row;
  unsigned passed_so_far = 0;
  unsigned failed_so_far = 0;
};

// Told of each chip as it ends (a log of the line, a label printer).
class ChipResultListener {
 public:
  virtual ~ChipResultListener() = default;
  virtual void chip_done(const ChipResult& result) = 0;
};

struct LoopSettings {
  // Between two looks into the socket; each look takes ~20 ms of the board.
  std::chrono::milliseconds poll_interval{250};
  bool bell = false;  // BEL with each result: standard output is a terminal
  int input_fd = 0;   // where Enter comes from
};

// 0 when every chip passed, 1 when one failed or the loop could not go on,
// 2 for bad usage, 128 + N after signal N interrupted a chip.
int run_production_loop(const CliOptions& options, Console& console, posix::RunSignals& signals,
                        const LoopSettings& settings, ChipResultListener* listener);

}  // namespace fp::cli
