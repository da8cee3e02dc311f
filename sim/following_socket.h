// A socket that follows the selected catalogue row: each chip type keeps its
// contents for the run, and a type met for the first time starts in its
// factory state.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/simulated_board.h"

namespace fp::sim {

class FollowingSocket {
 public:
  explicit FollowingSocket(SimulatedBoard& board) : board_(board) {}

  // Puts the selected row's chip (its model, as the catalogue names it) into
  // the socket, keeping the one it replaces; an unknown model leaves it empty.
  void follow(std::string_view model_name);

  // From now on the socket holds this model whatever row is selected; an
  // empty name leaves the socket empty.
  void pin(std::string model_name) { pinned_ = std::move(model_name); }
  // The faults of every chip that goes into the socket from now on.
  void set_faults(ChipFaults faults) { faults_ = std::move(faults); }

  // Puts a chip on the shelf, to be used when its row is selected.
  void stock(std::unique_ptr<ChipModel> chip);
  // Every chip met so far: the one in the socket and those on the shelf.
  std::vector<ChipModel*> chips();

 private:
  SimulatedBoard& board_;
  std::string current_;
  std::optional<std::string> pinned_;
  ChipFaults faults_;
  std::map<std::string, std::unique_ptr<ChipModel>, std::less<>> shelf_;
};

}  // namespace fp::sim
