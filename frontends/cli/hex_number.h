// Numbers typed on the command line: hexadecimal with or without 0x, in
// either case, with an optional h suffix.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fp::cli {

// Up to 32 bits; nothing for another text.
std::optional<uint32_t> parse_free_hex(std::string_view text);
// One byte: at most two digits.
std::optional<uint8_t> parse_byte(std::string_view text);

// Hexadecimal codes as the window shows them ("1E-91-A", "89\r\n94", "3") as
// two digits each, one blank apart: "1E 91 0A", "89 94", "03".
std::u16string two_digit_codes(std::u16string_view text);

// "1C000h", as the window writes addresses.
std::string hex(uint32_t value);

}  // namespace fp::cli
