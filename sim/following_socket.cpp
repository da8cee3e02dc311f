#include "sim/following_socket.h"

#include "sim/model_factory.h"

namespace fp::sim {
namespace {

bool same_ignoring_case(std::string_view model, std::u16string_view chip) {
  if (model.size() != chip.size()) return false;
  for (size_t i = 0; i < model.size(); ++i) {
    const char16_t c = chip[i];
    const char16_t upper = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    if (upper != static_cast<unsigned char>(model[i])) return false;
  }
  return true;
}

}  // namespace

// A row is named after its chip, up to a "/" that names a second chip of the
// same die ("AT89C2051/2052") or a blank before the memory it programs
// ("ATTINY2313 - FLASH"); the model of that name in capitals serves it.
std::string_view model_name_for_row(std::u16string_view row_name) {
  const std::u16string_view chip = row_name.substr(0, row_name.find_first_of(u"/ "));
  for (const std::string_view model : model_names()) {
    if (same_ignoring_case(model, chip)) return model;
  }
  return {};
}

void FollowingSocket::follow(std::u16string_view row_name) {
  const std::string_view wanted =
      pinned_ ? std::string_view(*pinned_) : model_name_for_row(row_name);
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
  }
  board_.insert(std::move(chip));
}

void FollowingSocket::stock(std::unique_ptr<ChipModel> chip) {
  if (!chip) return;
  const std::string name(chip->model_name());
  if (name == current_ && board_.chip() != nullptr) {
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
