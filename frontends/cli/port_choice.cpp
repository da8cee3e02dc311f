#include "frontends/cli/port_choice.h"

#include <charconv>

#include "platform/posix/direct_port.h"
#include "platform/posix/ppdev_port.h"

namespace fp::cli {

std::variant<PortChoice, std::string> parse_port(std::string_view text) {
  // The socket setting comes last, so a file name may hold commas of its own.
  std::optional<std::string> socket;
  if (text.starts_with("sim")) {
    if (const size_t at = text.rfind(",socket="); at != std::string_view::npos) {
      socket = std::string(text.substr(at + 8));
      text = text.substr(0, at);
      if (socket->empty()) return "--port ...,socket=: give a row (name or number) or empty";
    }
  }
  const size_t colon = text.find(':');
  const std::string_view kind = text.substr(0, colon);
  const bool has_argument = colon != std::string_view::npos;
  const std::string_view argument = has_argument ? text.substr(colon + 1) : std::string_view{};
  if (has_argument && argument.empty())
    return "--port " + std::string(text) + ": nothing after ':'";
  if (kind == "sim") return PortChoice{SimulatedPort{std::string(argument), socket}};
  if (kind == "ppdev") {
    return PortChoice{
        PpdevPortChoice{has_argument ? std::string(argument) : posix::DEFAULT_PPDEV_DEVICE}};
  }
  if (kind == "direct") {
    if (!has_argument) return PortChoice{DirectPortChoice{posix::DEFAULT_DIRECT_BASE}};
    std::string_view digits = argument;
    if (digits.starts_with("0x") || digits.starts_with("0X")) digits.remove_prefix(2);
    unsigned base = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), base, 16);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
        base > 0xFFFD) {
      return "--port direct:" + std::string(argument) + ": not a port address (as 0x378)";
    }
    return PortChoice{DirectPortChoice{static_cast<uint16_t>(base)}};
  }
  return "--port " + std::string(text) +
         ": use sim[:FILE][,socket=ROW|empty], ppdev[:/dev/parportN] or direct[:0x378]";
}

}  // namespace fp::cli
