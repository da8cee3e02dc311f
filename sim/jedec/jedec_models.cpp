#include "sim/jedec/jedec_flash.h"
#include "sim/model_factory.h"

namespace fp::sim {

std::vector<std::string_view> jedec_model_names() {
  std::vector<std::string_view> names;
  for (const JedecVariant& variant : jedec_variants()) names.push_back(variant.name);
  return names;
}

std::unique_ptr<ChipModel> make_jedec_model(std::string_view name) {
  const std::optional<JedecVariant> variant = find_jedec_variant(name);
  if (!variant) return nullptr;
  return std::make_unique<JedecFlash>(*variant);
}

}  // namespace fp::sim
