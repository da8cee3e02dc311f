#include "sim/attiny/attiny_model.h"
#include "sim/model_factory.h"

namespace fp::sim {

std::vector<std::string_view> attiny_model_names() {
  return {attiny2313_variant().name, attiny4313_variant().name};
}

std::unique_ptr<ChipModel> make_attiny_model(std::string_view name) {
  if (name == attiny2313_variant().name) return std::make_unique<AttinyModel>(attiny2313_variant());
  if (name == attiny4313_variant().name) return std::make_unique<AttinyModel>(attiny4313_variant());
  return nullptr;
}

}  // namespace fp::sim
