// Conversions between the UTF-16 texts of the program and UTF-8 (file names on
// POSIX, script files, printed output).
#pragma once

#include <string>
#include <string_view>

namespace fp {

std::string to_utf8(std::u16string_view text);
std::u16string from_utf8(std::string_view text);

}  // namespace fp
