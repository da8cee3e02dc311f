#include "frontends/cli/hex_number.h"

#include "bus/number_text.h"
#include "platform/utf8.h"

namespace fp::cli {

std::optional<uint32_t> parse_free_hex(std::string_view text) {
  if (text.ends_with('h') || text.ends_with('H')) text.remove_suffix(1);
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.empty() || text.size() > 8) return std::nullopt;
  // The window's own parser takes upper-case digits only.
  std::string digits(text);
  for (char& c : digits) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return parse_hex(digits);
}

std::optional<uint8_t> parse_byte(std::string_view text) {
  // Two digits at most, whatever the spelling around them: a fuse or lock
  // byte typed with more is a slip of the operator, not a byte.
  std::string_view digits = text;
  if (digits.ends_with('h') || digits.ends_with('H')) digits.remove_suffix(1);
  if (digits.starts_with("0x") || digits.starts_with("0X")) digits.remove_prefix(2);
  if (digits.size() > 2) return std::nullopt;
  const auto value = parse_free_hex(text);
  if (!value) return std::nullopt;
  return static_cast<uint8_t>(*value);
}

std::u16string two_digit_codes(std::u16string_view text) {
  std::u16string result;
  std::u16string code;
  const auto flush = [&result, &code] {
    if (code.empty()) return;
    if (!result.empty()) result += u' ';
    if (code.size() == 1) result += u'0';
    result += code;
    code.clear();
  };
  for (const char16_t c : text) {
    if (c == u'-' || c == u' ' || c == u'\r' || c == u'\n') {
      flush();
    } else {
      code += c;
    }
  }
  flush();
  return result;
}

std::string hex(uint32_t value) {
  return to_utf8(hex_text(value)) + "h";
}

}  // namespace fp::cli
