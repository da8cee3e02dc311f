#include "platform/utf8.h"

#include <cstdint>

namespace fp {
namespace {
constexpr char32_t REPLACEMENT = 0xFFFD;
// A byte of a file name that is no UTF-8: U+DC80 + (byte - 0x80).
constexpr char16_t ESCAPED_BYTE = 0xDC00;

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void append_utf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// The well-formed sequence at the start of text (the table of the Unicode
// standard, 3.9): its code point and length, or length 0 when the first byte
// begins none. The second byte's range rules out overlong forms, surrogates
// and values past U+10FFFF.
struct Decoded {
  char32_t code_point = 0;
  size_t length = 0;
};

Decoded decode_one(std::string_view text) {
  const auto byte = [&text](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  size_t length = 0;
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  if (text.size() < length) return {};
  if (byte(1) < low || byte(1) > high) return {};
  char32_t c = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return {};
    c = (c << 6) | (byte(k) & 0x3F);
  }
  return {c, length};
}

// The text with each byte that begins no well-formed sequence as unit(byte).
template <typename Unit>
std::u16string decode(std::string_view text, Unit unit) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const Decoded decoded = decode_one(text.substr(i));
    if (decoded.length == 0) {
      out += unit(static_cast<uint8_t>(text[i]));
      ++i;
      continue;
    }
    append_utf16(out, decoded.code_point);
    i += decoded.length;
  }
  return out;
}

}  // namespace

std::string to_utf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = REPLACEMENT;
    }
    append_utf8(out, c);
  }
  return out;
}

std::u16string from_utf8(std::string_view text) {
  return decode(text, [](uint8_t) { return static_cast<char16_t>(REPLACEMENT); });
}

std::u16string path_from_bytes(std::string_view bytes) {
  // Never below 0x80: every ASCII byte decodes.
  return decode(bytes, [](uint8_t byte) { return static_cast<char16_t>(ESCAPED_BYTE + byte); });
}

std::string path_to_bytes(std::u16string_view path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    const char16_t unit = path[i];
    const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < path.size() &&
                      path[i + 1] >= 0xDC00 && path[i + 1] < 0xE000;
    if (pair) {
      append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (path[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= ESCAPED_BYTE + 0x80 && unit <= ESCAPED_BYTE + 0xFF) {
      out += static_cast<char>(unit - ESCAPED_BYTE);
    } else {
      append_utf8(out, unit >= 0xD800 && unit < 0xE000 ? REPLACEMENT : unit);
    }
  }
  return out;
}

}  // namespace fp
