#include "sim/highvolt/am28f001_model.h"
#include "sim/highvolt/i28f001bx_model.h"
#include "sim/model_factory.h"

namespace fp::sim {

std::vector<std::string_view> highvolt_model_names() {
  std::vector<std::string_view> names;
  for (const I28fVariant& variant : i28f_variants()) names.push_back(variant.name);
  for (const Am28fVariant& variant : am28f_variants()) names.push_back(variant.name);
  return names;
}

std::unique_ptr<ChipModel> make_highvolt_model(std::string_view name) {
  if (const I28fVariant* variant = find_i28f_variant(name)) {
    return std::make_unique<I28f001bxModel>(*variant);
  }
  if (const Am28fVariant* variant = find_am28f_variant(name)) {
    return std::make_unique<Am28f001Model>(*variant);
  }
  return nullptr;
}

}  // namespace fp::sim
