#include "sim/model_factory.h"

namespace fp::sim {

// No model of this family yet.
std::unique_ptr<ChipModel> make_attiny_model(std::string_view) { return nullptr; }

}  // namespace fp::sim
