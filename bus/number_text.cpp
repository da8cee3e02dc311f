#include "bus/number_text.h"

#include <array>

namespace fp {
namespace {

char16_t* format_digits(uint32_t value, uint32_t base, char16_t* position) {
  std::array<char16_t, 10> reversed{};
  size_t count = 0;
  do {
    const uint32_t digit = value % base;
    reversed[count++] = static_cast<char16_t>(digit < 10 ? u'0' + digit : u'A' + digit - 10);
    value /= base;
  } while (value != 0);
  while (count > 0) *position++ = reversed[--count];
  return position;
}

std::u16string digits_text(uint32_t value, uint32_t base) {
  std::array<char16_t, 10> text{};
  char16_t* end = format_digits(value, base, text.data());
  return {text.data(), end};
}

}  // namespace

char16_t* format_hex(uint32_t value, char16_t* position) {
  return format_digits(value, 16, position);
}

char16_t* format_decimal(uint32_t value, char16_t* position) {
  return format_digits(value, 10, position);
}

std::u16string hex_text(uint32_t value) {
  return digits_text(value, 16);
}
std::u16string decimal_text(uint32_t value) {
  return digits_text(value, 10);
}

std::optional<uint32_t> parse_hex(std::string_view text) {
  uint32_t value = 0;
  for (const char c : text) {
    if (c == '\0') break;
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = (value << 4) | digit;
  }
  return value;
}

}  // namespace fp
