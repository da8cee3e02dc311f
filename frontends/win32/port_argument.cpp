#include "frontends/win32/port_argument.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "ui/texts.h"

namespace fp {
namespace {

std::vector<std::u16string_view> split_words(std::u16string_view line) {
  std::vector<std::u16string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == u' ' || line[at] == u'\t')) ++at;
    const size_t start = at;
    while (at < line.size() && line[at] != u' ' && line[at] != u'\t') ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  return words;
}

bool is_port_switch(std::u16string_view word) {
  if (word.size() != 5 || (word[0] != u'/' && word[0] != u'-')) return false;
  const std::u16string_view name = u"port";
  for (size_t i = 0; i < name.size(); ++i) {
    char16_t c = word[i + 1];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != name[i]) return false;
  }
  return true;
}

std::optional<uint32_t> parse_hex(std::u16string_view word) {
  if (word.size() > 2 && word[0] == u'0' && (word[1] == u'x' || word[1] == u'X')) {
    word.remove_prefix(2);
  }
  if (word.empty()) return std::nullopt;
  // Any number of digits is a number: one past the highest port stays out of
  // range however long it grows.
  constexpr uint32_t PAST_RANGE = 0x10000;
  uint32_t value = 0;
  for (const char16_t c : word) {
    uint32_t digit = 0;
    if (c >= u'0' && c <= u'9') {
      digit = static_cast<uint32_t>(c - u'0');
    } else if (c >= u'A' && c <= u'F') {
      digit = static_cast<uint32_t>(c - u'A' + 10);
    } else if (c >= u'a' && c <= u'f') {
      digit = static_cast<uint32_t>(c - u'a' + 10);
    } else {
      return std::nullopt;
    }
    value = std::min(value * 16 + digit, PAST_RANGE);
  }
  return value;
}

PortArgumentError error(const char16_t* text, std::u16string_view word) {
  std::u16string what(text);
  if (const size_t at = what.find(u"{}"); at != std::u16string::npos) what.replace(at, 2, word);
  return {what};
}

}  // namespace

std::variant<PortArgument, PortArgumentError> parse_port_argument(
    std::u16string_view command_line) {
  const std::vector<std::u16string_view> words = split_words(command_line);
  std::optional<uint16_t> base;
  for (size_t i = 0; i < words.size(); ++i) {
    if (!is_port_switch(words[i])) return error(text::PORT_ARGUMENT_UNKNOWN, words[i]);
    if (base) return error(text::PORT_ARGUMENT_TWICE, words[i]);
    if (i + 1 == words.size()) return error(text::PORT_ARGUMENT_MISSING, words[i]);
    const std::u16string_view value = words[++i];
    const auto address = parse_hex(value);
    if (!address) return error(text::PORT_ARGUMENT_NOT_HEX, value);
    if (*address < LOWEST_PORT_BASE || *address > HIGHEST_PORT_BASE) {
      return error(text::PORT_ARGUMENT_OUT_OF_RANGE, value);
    }
    base = static_cast<uint16_t>(*address);
  }
  if (!base) return PortArgument{};
  return PortArgument{*base, true};
}

std::u16string port_address_text(uint16_t base) {
  constexpr char16_t DIGITS[] = u"0123456789ABCDEF";
  std::u16string text;
  for (int shift = 12; shift >= 0; shift -= 4) {
    const auto digit = static_cast<unsigned>((base >> shift) & 0xF);
    if (digit != 0 || !text.empty() || shift <= 8) text += DIGITS[digit];
  }
  return text + u"h";
}

std::u16string caption_with_port(std::u16string_view caption, uint16_t base) {
  std::u16string port(text::CAPTION_PORT);
  if (const size_t at = port.find(u"{}"); at != std::u16string::npos) {
    port.replace(at, 2, port_address_text(base));
  }
  return std::u16string(caption) + port;
}

std::u16string_view caption_without_port(std::u16string_view caption) {
  const std::u16string_view port(text::CAPTION_PORT);
  const std::u16string_view before = port.substr(0, port.find(u"{}"));
  const std::u16string_view after = port.substr(port.find(u"{}") + 2);
  const size_t at = caption.rfind(before);
  if (at == std::u16string_view::npos || !caption.ends_with(after)) return caption;
  return caption.substr(0, at);
}

}  // namespace fp
