#include "sim/following_socket.h"

#include <array>
#include <utility>

#include "sim/model_factory.h"

namespace fp::sim {
namespace {

constexpr std::array<std::pair<std::u16string_view, std::string_view>, 12> ROW_MODELS{{
    {u"i28F001BX-T", "I28F001BX-T"},
    {u"i28F001BX-B", "I28F001BX-B"},
    {u"AT29C010A", "AT29C010A"},
    {u"AT29C040A", "AT29C040A"},
    {u"AT49F512", "AT49F512"},
    {u"AT49F002", "AT49F002"},
    {u"ATTINY2313 - FLASH", "ATTINY2313"},
    {u"ATTINY2313 - EEPROM", "ATTINY2313"},
    {u"AT89C2051/2052", "AT89C2051"},
    {u"AT89C4051/4052", "AT89C4051"},
    {u"AM28F001", "AM28F001"},
    {u"W29EE512", "W29EE512"},
}};

}  // namespace

std::string_view model_name_for_row(std::u16string_view row_name) {
  for (const auto& [row, model] : ROW_MODELS) {
    if (row == row_name) return model;
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
