// The simulated board's own script commands (insert, fill, dump, fuses,
// timer, fault): what a test does to the board that no operator could. Both
// players of a script use them: programmer-script directly, and the GUI test
// driver through programmer-sim.exe, which owns the board.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/simulated_board.h"

namespace fp::headless {

// A script that cannot go on: unknown command or control, missing file, ...
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool is_sim_command(const std::string& command);

class SimCommands {
 public:
  explicit SimCommands(sim::SimulatedBoard& board) : board_(board) {}

  // Plays one line whose first word is_sim_command; lines it prints go to
  // output. Throws ScriptError.
  void execute(const std::vector<std::string>& words, std::ostream& output);

 private:
  std::vector<uint8_t>& chip_memory(const std::string& which);
  void fault(const std::vector<std::string>& words);
  void apply_faults();

  sim::SimulatedBoard& board_;
  // Kept across chips: a fault set before an insert holds for the new chip.
  sim::ChipFaults faults_;
};

}  // namespace fp::headless
