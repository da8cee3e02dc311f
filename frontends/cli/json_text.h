// JSON for scripts (list --json, id --json): strings escaped as JSON wants
// them, whatever bytes a name holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fp::cli {

// "text" with quotes, backslashes and control characters escaped; UTF-8
// passes as it is.
std::string json_string(std::string_view text);
// ["a", "b"]
std::string json_strings(const std::vector<std::string>& texts);

}  // namespace fp::cli
