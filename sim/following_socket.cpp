#include "sim/following_socket.h"

#include "sim/model_factory.h"

namespace fp::sim {
void FollowingSocket::follow(std::string_view model_name) {
  const std::string_view wanted = pinned_ ? std::string_view(*pinned_) : model_name;
  if (wanted == current_ && board_.chip() != nullptr) return;
  if (!current_.empty()) shelf_[current_] = board_.remove();
  current_ = std::string(wanted);
  if (current_.empty()) return;
  std::unique_ptr<ChipModel> chip;
  if (const auto kept = shelf_.find(current_); kept != shelf_.end()) {
    chip = std::move(kept->second);
    shelf_.erase(kept);
  } else {
    chip = make_chip_model(current_);
    if (!chip) {
      current_.clear();  // no such model: the socket stays empty
      return;
    }
  }
  if (chip) chip->set_faults(faults_);
  board_.insert(std::move(chip));
}

void FollowingSocket::stock(std::unique_ptr<ChipModel> chip) {
  if (!chip) return;
  const std::string name(chip->model_name());
  if (name == current_ && board_.chip() != nullptr) {
    chip->set_faults(faults_);
    board_.insert(std::move(chip));
  } else {
    shelf_[name] = std::move(chip);
  }
}

std::vector<ChipModel*> FollowingSocket::chips() {
  std::vector<ChipModel*> all;
  if (board_.chip() != nullptr) all.push_back(board_.chip());
  for (auto& [name, chip] : shelf_) {
    if (chip) all.push_back(chip.get());
  }
  return all;
}

}  // namespace fp::sim
