// Conversions between the UTF-16 texts of the program and UTF-8 (file names on
// POSIX, script files, printed output).
#pragma once

#include <string>
#include <string_view>

namespace fp {

std::string to_utf8(std::u16string_view text);
// Text for reading and display: every ill-formed sequence (a stray or missing
// continuation byte, an overlong form, a surrogate, a value past U+10FFFF)
// becomes one U+FFFD, so no two different texts can look like one safe name.
std::u16string from_utf8(std::string_view text);

// POSIX file names are bytes, not text. These two keep every byte: a byte that
// is not part of well-formed UTF-8 travels as the lone surrogate U+DC80..U+DCFF,
// which no decoded text holds, and comes back as that same byte. The UTF-16
// form is what the window shows; the bytes are what the system opens.
std::u16string path_from_bytes(std::string_view bytes);
std::string path_to_bytes(std::u16string_view path);

}  // namespace fp
