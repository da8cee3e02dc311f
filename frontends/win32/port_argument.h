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

struct PortArgument {
  uint16_t base = DEFAULT_PORT_BASE;
  bool named = false;  // the command line gave the address
};

// The base address the command line asks for, DEFAULT_PORT_BASE without one.
std::variant<PortArgument, PortArgumentError> parse_port_argument(std::u16string_view command_line);

// "378h", as the program writes addresses.
std::u16string port_address_text(uint16_t base);

// The main window's caption with the port the command line named, so that
// two programs on two ports tell apart: "Программатор FLASH (порт D010h)".
std::u16string caption_with_port(std::u16string_view caption, uint16_t base);
// The caption as the window's template has it, without the port.
std::u16string_view caption_without_port(std::u16string_view caption);

}  // namespace fp
