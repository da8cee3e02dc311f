#include "frontends/headless/script_line.h"

#include <charconv>

namespace fp::headless {

std::variant<std::vector<std::string>, LineError> split_script_line(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < line.size()) {
    if (blank(line[i])) {
      ++i;
      continue;
    }
    if (line[i] == '#') break;
    std::string word;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
          word += '"';
          i += 2;
        } else if (line[i] == '"') {
          closed = true;
          ++i;
          break;
        } else {
          word += line[i++];
        }
      }
      if (!closed) return LineError{"unterminated quoted text"};
      if (i < line.size() && !blank(line[i])) return LineError{"text after a closing quote"};
    } else {
      while (i < line.size() && !blank(line[i])) word += line[i++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::optional<uint64_t> parse_script_number(std::string_view word, int base) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  if (error != std::errc() || end != word.data() + word.size() || word.empty()) return std::nullopt;
  return value;
}

}  // namespace fp::headless
