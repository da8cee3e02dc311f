// One line of an operator script: words separated by blanks, a text in double
// quotes ("" is empty, \" inside is a quote), # starting a comment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fp::headless {

struct LineError {
  std::string message;
};

// The words of the line (none for a blank or comment line), or why it is bad.
std::variant<std::vector<std::string>, LineError> split_script_line(std::string_view line);

// A number word of a script line: digits of the base only, nothing else.
std::optional<uint64_t> parse_script_number(std::string_view word, int base = 10);

}  // namespace fp::headless
