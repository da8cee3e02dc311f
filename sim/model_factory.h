// Fresh simulated chips in their factory state, by model name.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "sim/chip_model.h"

namespace fp::sim {

// AT29C010A AT29C040A AT49F512 AT49F002 W29EE512 I28F001BX-T I28F001BX-B
// AM28F001 AT89C2051 AT89C4051 ATTINY2313.
std::span<const std::string_view> model_names();

// Null when the name is unknown or the model is not available.
std::unique_ptr<ChipModel> make_chip_model(std::string_view name);

// One factory per family; each answers null for names it does not know.
std::unique_ptr<ChipModel> make_jedec_model(std::string_view name);
std::unique_ptr<ChipModel> make_highvolt_model(std::string_view name);
std::unique_ptr<ChipModel> make_at89c_model(std::string_view name);
std::unique_ptr<ChipModel> make_attiny_model(std::string_view name);

}  // namespace fp::sim
