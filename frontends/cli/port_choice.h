// The --port value: sim[:FILE][,socket=ROW|empty][,fault=KIND]..., ppdev[:DEVICE]
// or direct[:BASE].
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "sim/chip_model.h"

namespace fp::cli {

struct SimulatedPort {
  std::string store;  // empty: nothing kept between runs
  // What the socket holds whatever row is selected: a row (name or number)
  // or "empty"; nothing: the selected row's chip.
  std::optional<std::string> socket;
  // What goes wrong in the chip: stuck:ADDR:XX, never-ready[:N],
  // pulses:program:N, pulses:erase:N.
  sim::ChipFaults faults;
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
