// The command line of programmer.exe: "/port D010" gives the parallel port's
// base address (data; status and control follow it), for the cards whose
// port is not at 0x378.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace fp {

inline constexpr uint16_t DEFAULT_PORT_BASE = 0x378;

// The lowest I/O addresses belong to the mainboard's own devices.
inline constexpr uint16_t LOWEST_PORT_BASE = 0x100;
// Status and control sit at base+1 and base+2.
inline constexpr uint16_t HIGHEST_PORT_BASE = 0xFFFD;

struct PortArgumentError {
  std::u16string what;  // in Russian, for the box's message
};

// The base address the command line asks for, DEFAULT_PORT_BASE without one.
std::variant<uint16_t, PortArgumentError> parse_port_argument(std::u16string_view command_line);

// "378h", as the program writes addresses.
std::u16string port_address_text(uint16_t base);

}  // namespace fp
