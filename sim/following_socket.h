// A socket that follows the selected catalogue row: each chip type keeps its
// contents for the run, and a type met for the first time starts in its
// factory state.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "sim/simulated_board.h"

namespace fp::sim {

// The simulated model that sits in the socket for a catalogue row, or "".
std::string_view model_name_for_row(std::u16string_view row_name);

class FollowingSocket {
 public:
  explicit FollowingSocket(SimulatedBoard& board) : board_(board) {}

  // Puts the row's chip into the socket, keeping the one it replaces.
  void follow(std::u16string_view row_name);

 private:
  SimulatedBoard& board_;
  std::string current_;
  std::map<std::string, std::unique_ptr<ChipModel>, std::less<>> shelf_;
};

}  // namespace fp::sim
