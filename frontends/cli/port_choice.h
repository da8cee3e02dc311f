// The --port value: sim[:FILE][,socket=ROW|empty][,fault=KIND]..., ppdev[:DEVICE]
// or direct[:BASE].
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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
  std::vector<std::string> fault_kinds;  // as given, each without "fault="
};

// Adds one fault as fault=KIND gives it; the reason when it is none, in
// English or Russian.
std::optional<std::string> add_fault_kind(std::string_view kind, sim::ChipFaults& faults,
                                          bool english);
struct PpdevPortChoice {
  std::string device;
};
struct DirectPortChoice {
  uint16_t base;
};
using PortChoice = std::variant<SimulatedPort, PpdevPortChoice, DirectPortChoice>;

// The choice, or the reason it is not one (in English or Russian).
std::variant<PortChoice, std::string> parse_port(std::string_view text, bool english);

// The board's port when neither --port nor PROGRAMMER_PORT names one: the
// first ppdev device (/dev/parport0-3), else the first parallel port the
// kernel lists in /proc/ioports (direct I/O); nothing when none is found.
std::optional<std::string> find_parallel_port();

// The --port value of a run: given, else PROGRAMMER_PORT, else the port
// found; the note says where it came from when it was not given.
struct PortDecision {
  std::string port;  // empty: none found
  std::string note;
};
PortDecision decide_port(const std::string& given, const char* environment,
                         const std::function<std::optional<std::string>()>& find, bool english);

// Why a run without a port stops, with what to do.
std::string no_port_advice(bool english);

}  // namespace fp::cli
