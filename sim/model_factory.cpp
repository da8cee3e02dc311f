#include "sim/model_factory.h"

#include <array>

namespace fp::sim {
namespace {

constexpr std::array<std::string_view, 11> MODEL_NAMES{
    "AT29C010A",   "AT29C040A", "AT49F512",  "AT49F002",  "W29EE512",   "I28F001BX-T",
    "I28F001BX-B", "AM28F001",  "AT89C2051", "AT89C4051", "ATTINY2313",
};

}  // namespace

std::span<const std::string_view> model_names() {
  return MODEL_NAMES;
}

std::unique_ptr<ChipModel> make_chip_model(std::string_view name) {
  for (const auto factory :
       {make_jedec_model, make_highvolt_model, make_at89c_model, make_attiny_model}) {
    if (auto chip = factory(name)) return chip;
  }
  return nullptr;
}

}  // namespace fp::sim
