// parse_hex on any byte string: it reads up to the first zero byte, accepts
// exactly the texts made of "0"-"9" and "A"-"F", keeps the low 32 bits, and
// reads back what format_hex writes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bus/number_text.h"
#include "fuzz/fuzz_check.h"
#include "platform/utf8.h"

namespace {

int digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  uint32_t expected = 0;
  bool valid = true;
  for (const char c : text) {
    if (c == '\0') break;
    const int value = digit(c);
    if (value < 0) {
      valid = false;
      break;
    }
    expected = (expected << 4) | static_cast<uint32_t>(value);
  }
  const auto parsed = fp::parse_hex(text);
  FUZZ_CHECK(parsed.has_value() == valid);
  if (!parsed) return 0;
  FUZZ_CHECK(*parsed == expected);
  const std::string shown = fp::to_utf8(fp::hex_text(*parsed));
  FUZZ_CHECK(fp::parse_hex(shown) == parsed);
  // Shown without leading zeros, so never longer than the digits typed.
  FUZZ_CHECK(shown.size() <= 8 && (shown.size() == 1 || shown[0] != '0'));
  return 0;
}
