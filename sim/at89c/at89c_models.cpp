#include "sim/at89c/at89c_model.h"
#include "sim/model_factory.h"

namespace fp::sim {

std::vector<std::string_view> at89c_model_names() {
  std::vector<std::string_view> names;
  for (const At89cVariant& variant : at89c_variants()) names.push_back(variant.name);
  return names;
}

std::unique_ptr<ChipModel> make_at89c_model(std::string_view name) {
  const At89cVariant* variant = find_at89c_variant(name);
  if (variant == nullptr) return nullptr;
  return std::make_unique<At89cModel>(*variant);
}

}  // namespace fp::sim
