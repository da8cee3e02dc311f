// A run's outcome whose messages land in strings, for tests that drive the
// command line's parts without a terminal.
#pragma once

#include <sstream>

#include "frontends/cli/console.h"
#include "frontends/cli/run_outcome.h"

namespace fp::test {

struct CapturedOutcome {
  std::ostringstream out, err;
  std::istringstream in;
  cli::Console console{out, err, in, cli::ConsoleSettings{}};
  cli::RunOutcome outcome{console};
};

}  // namespace fp::test
