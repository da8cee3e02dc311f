// The UTF-8 conversions on any byte string: a file name comes back byte for
// byte; decoded text holds no lone surrogate and no ASCII character the bytes
// do not hold (an overlong '/' stays no '/'); and the bytes read back exactly
// when they are well-formed UTF-8, judged here by a separate decoder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/utf8.h"

namespace {

// Well-formed UTF-8 by its definition: shortest form, no surrogate, at most U+10FFFF.
bool well_formed(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<uint8_t>(text[i]);
    size_t length = 0;
    if (lead < 0x80)
      length = 1;
    else if ((lead & 0xE0) == 0xC0)
      length = 2;
    else if ((lead & 0xF0) == 0xE0)
      length = 3;
    else if ((lead & 0xF8) == 0xF0)
      length = 4;
    else
      return false;
    if (i + length > text.size()) return false;
    uint32_t c = length == 1 ? lead : lead & (0xFFu >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = c << 6 | (next & 0x3F);
    }
    constexpr uint32_t SHORTEST[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < SHORTEST[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
    i += length;
  }
  return true;
}

bool has_lone_surrogate(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0xDC00 && text[i] < 0xE000) return true;
    if (text[i] >= 0xD800 && text[i] < 0xDC00) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000) return true;
      ++i;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(fp::path_to_bytes(fp::path_from_bytes(bytes)) == bytes);

  const std::u16string text = fp::from_utf8(bytes);
  FUZZ_CHECK(!has_lone_surrogate(text));
  for (const char16_t ascii : {u'/', u'\\', u'.', u'\0', u'"'}) {
    size_t in_bytes = 0;
    size_t in_text = 0;
    for (const char c : bytes) in_bytes += static_cast<char16_t>(c) == ascii ? 1 : 0;
    for (const char16_t c : text) in_text += c == ascii ? 1 : 0;
    FUZZ_CHECK(in_bytes == in_text);
  }
  FUZZ_CHECK((fp::to_utf8(text) == bytes) == well_formed(bytes));
  // For well-formed names both readings agree.
  if (well_formed(bytes)) FUZZ_CHECK(fp::path_from_bytes(bytes) == text);
  return 0;
}
