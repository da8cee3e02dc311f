// The --port value: sim[:FILE], ppdev[:DEVICE] or direct[:BASE].
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace fp::cli {

struct SimulatedPort {
  std::string store;  // empty: nothing kept between runs
};
struct PpdevPortChoice {
  std::string device;
};
struct DirectPortChoice {
  uint16_t base;
};
using PortChoice = std::variant<SimulatedPort, PpdevPortChoice, DirectPortChoice>;

// The choice, or the reason it is not one.
std::variant<PortChoice, std::string> parse_port(std::string_view text);

}  // namespace fp::cli
