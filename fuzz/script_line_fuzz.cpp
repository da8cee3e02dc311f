// The script line splitter on any bytes: it never fails on a line it could
// have written itself, and the words it returns, written back out (bare or in
// quotes), split into the same words again.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "frontends/headless/script_line.h"
#include "fuzz/fuzz_check.h"

namespace {

bool blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A word as a script would write it, or nothing when the syntax cannot
// express it (a quoted text cannot end in a backslash).
std::optional<std::string> written(const std::string& word) {
  bool bare = !word.empty() && word[0] != '"' && word[0] != '#';
  for (const char c : word) bare = bare && !blank(c);
  if (bare) return word;
  if (!word.empty() && word.back() == '\\') return std::nullopt;
  std::string text = "\"";
  for (const char c : word) {
    if (c == '"') text += '\\';
    text += c;
  }
  return text + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const auto split = fp::headless::split_script_line(line);
  if (std::holds_alternative<fp::headless::LineError>(split)) {
    // Only quotes make a line bad.
    FUZZ_CHECK(line.find('"') != std::string_view::npos);
    return 0;
  }
  const auto& words = std::get<std::vector<std::string>>(split);
  std::string again;
  for (const std::string& word : words) {
    // A bare word ends at a blank; a comment is no word.
    FUZZ_CHECK(!word.empty() || line.find("\"\"") != std::string_view::npos);
    const auto text = written(word);
    if (!text) return 0;
    again += *text + ' ';
  }
  again += "# written back";
  const auto resplit = fp::headless::split_script_line(again);
  FUZZ_CHECK(std::holds_alternative<std::vector<std::string>>(resplit));
  FUZZ_CHECK(std::get<std::vector<std::string>>(resplit) == words);
  return 0;
}
