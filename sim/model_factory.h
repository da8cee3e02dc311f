// Fresh simulated chips in their factory state, by model name. The names
// are those of the families' variant tables, nowhere else.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "sim/chip_model.h"

namespace fp::sim {

// Every model, family by family (the catalogue names the one for each row).
std::vector<std::string_view> model_names();

// Null when the name is unknown.
std::unique_ptr<ChipModel> make_chip_model(std::string_view name);

// Each family lists its models and makes them; the maker answers null for
// names it does not know.
std::vector<std::string_view> jedec_model_names();
std::unique_ptr<ChipModel> make_jedec_model(std::string_view name);
std::vector<std::string_view> highvolt_model_names();
std::unique_ptr<ChipModel> make_highvolt_model(std::string_view name);
std::vector<std::string_view> at89c_model_names();
std::unique_ptr<ChipModel> make_at89c_model(std::string_view name);
std::vector<std::string_view> attiny_model_names();
std::unique_ptr<ChipModel> make_attiny_model(std::string_view name);

}  // namespace fp::sim
