#include "sim/model_factory.h"

#include <array>

namespace fp::sim {
namespace {

struct ModelFamily {
  std::vector<std::string_view> (*names)();
  std::unique_ptr<ChipModel> (*make)(std::string_view name);
};

constexpr std::array<ModelFamily, 4> FAMILIES{{
    {jedec_model_names, make_jedec_model},
    {highvolt_model_names, make_highvolt_model},
    {at89c_model_names, make_at89c_model},
    {attiny_model_names, make_attiny_model},
}};

}  // namespace

std::vector<std::string_view> model_names() {
  std::vector<std::string_view> all;
  for (const ModelFamily& family : FAMILIES) {
    const std::vector<std::string_view> names = family.names();
    all.insert(all.end(), names.begin(), names.end());
  }
  return all;
}

std::unique_ptr<ChipModel> make_chip_model(std::string_view name) {
  for (const ModelFamily& family : FAMILIES) {
    if (auto chip = family.make(name)) return chip;
  }
  return nullptr;
}

}  // namespace fp::sim
