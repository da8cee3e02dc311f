// Numbers as the operator sees and types them: upper-case hexadecimal without
// leading zeros, decimal for the calibration count.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fp {

// Write the digits at position (no terminator) and return the position after them.
char16_t* format_hex(uint32_t value, char16_t* position);
char16_t* format_decimal(uint32_t value, char16_t* position);

std::u16string hex_text(uint32_t value);
std::u16string decimal_text(uint32_t value);

// "0"-"9" and "A"-"F" only; keeps the low 32 bits; an empty text is 0.
std::optional<uint32_t> parse_hex(std::string_view text);

}  // namespace fp
