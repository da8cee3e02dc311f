#include "frontends/cli/port_choice.h"

#include <charconv>
#include <fstream>
#include <vector>

#include "frontends/cli/hex_number.h"
#include "platform/posix/direct_port.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/ppdev_port.h"

namespace fp::cli {
namespace {

constexpr const char* FAULT_KINDS = "stuck:ADDR:XX, never-ready, never-ready:N, pulses:program:N";

std::optional<uint32_t> decimal_count(std::string_view text) {
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || value == 0)
    return std::nullopt;
  return value;
}

// One fault=KIND; the reason when it is none.
std::optional<std::string> add_fault(std::string_view kind, sim::ChipFaults& faults, bool english) {
  const auto bad = [kind, english](const char* english_why, const char* russian_why) {
    return "--port ...,fault=" + std::string(kind) + ": " + (english ? english_why : russian_why);
  };
  if (kind.starts_with("stuck:")) {
    const std::string_view rest = kind.substr(6);
    const size_t colon = rest.find(':');
    const auto address = parse_free_hex(rest.substr(0, colon));
    const auto value =
        colon == std::string_view::npos ? std::nullopt : parse_byte(rest.substr(colon + 1));
    if (!address || *address > 0x7FFFF || !value)
      return bad(
          "give a chip address and the byte it reads, as stuck:1C000:5A",
          "укажите адрес в микросхеме и байт, который там читается, например stuck:1C000:5A");
    faults.stuck[*address] = *value;
  } else if (kind == "never-ready") {
    faults.never_ready = true;
  } else if (kind.starts_with("never-ready:")) {
    const auto count = decimal_count(kind.substr(12));
    if (!count) {
      return bad("give the first program or erase cycle that never ends (1, 2, ...)",
                 "укажите первый цикл программирования или стирания, который не завершается "
                 "(1, 2, ...)");
    }
    faults.never_ready_from = *count;
  } else if (kind.starts_with("pulses:program:") || kind.starts_with("pulses:erase:")) {
    const bool program = kind.starts_with("pulses:program:");
    const auto count = decimal_count(kind.substr(program ? 15 : 13));
    if (!count)
      return bad("give the number of pulses (1, 2, ...)", "укажите число импульсов (1, 2, ...)");
    (program ? faults.program_pulses : faults.erase_pulses) = *count;
  } else {
    return "--port ...,fault=" + std::string(kind) +
           (english
                ? std::string(": no such fault; the faults: ") + FAULT_KINDS + " or pulses:erase:N"
                : std::string(": нет такой неисправности; неисправности: ") + FAULT_KINDS +
                      " или pulses:erase:N");
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> add_fault_kind(std::string_view kind, sim::ChipFaults& faults,
                                          bool english) {
  return add_fault(kind, faults, english);
}

std::variant<PortChoice, std::string> parse_port(std::string_view text, bool english) {
  // The settings come last, so a file name may hold commas of its own.
  std::optional<std::string> socket;
  std::vector<std::string_view> fault_kinds;
  while (text.starts_with("sim")) {
    const size_t socket_at = text.rfind(",socket=");
    const size_t fault_at = text.rfind(",fault=");
    const bool socket_last = socket_at != std::string_view::npos &&
                             (fault_at == std::string_view::npos || socket_at > fault_at);
    if (socket_last) {
      if (socket)
        return english ? "--port ...,socket= given twice" : "--port ...,socket= указан дважды";
      socket = std::string(text.substr(socket_at + 8));
      text = text.substr(0, socket_at);
      if (socket->empty()) {
        return english ? "--port ...,socket=: give a row (name or number) or empty"
                       : "--port ...,socket=: укажите строку каталога (имя или номер) или empty";
      }
    } else if (fault_at != std::string_view::npos) {
      fault_kinds.insert(fault_kinds.begin(), text.substr(fault_at + 7));
      text = text.substr(0, fault_at);
    } else {
      break;
    }
  }
  sim::ChipFaults faults;
  for (const std::string_view kind : fault_kinds) {
    if (auto why = add_fault(kind, faults, english)) return *why;
  }
  const size_t colon = text.find(':');
  const std::string_view kind = text.substr(0, colon);
  const bool has_argument = colon != std::string_view::npos;
  const std::string_view argument = has_argument ? text.substr(colon + 1) : std::string_view{};
  if (has_argument && argument.empty()) {
    return "--port " + std::string(text) + (english ? ": nothing after ':'" : ": после ':' пусто");
  }
  if (kind == "sim") {
    return PortChoice{SimulatedPort{
        std::string(argument), socket, faults, {fault_kinds.begin(), fault_kinds.end()}}};
  }
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
      return "--port direct:" + std::string(argument) +
             (english ? ": not a port address (as 0x378)" : ": не адрес порта (например 0x378)");
    }
    return PortChoice{DirectPortChoice{static_cast<uint16_t>(base)}};
  }
  return "--port " + std::string(text) +
         (english ? ": use sim[:FILE][,socket=ROW|empty][,fault=KIND]..., ppdev[:/dev/parportN] or "
                    "direct[:0x378]"
                  : ": укажите sim[:ФАЙЛ][,socket=СТРОКА|empty][,fault=ВИД]..., "
                    "ppdev[:/dev/parportN] или direct[:0x378]");
}

std::string no_port_advice(bool english) {
  return english ? "no parallel port found (no /dev/parport0-3, none in /proc/ioports) and no "
                   "--port or PROGRAMMER_PORT given; load the drivers (sudo modprobe parport_pc "
                   "ppdev) and see programmer probe --port ppdev; --port sim tries the simulated "
                   "board"
                 : "параллельный порт не найден (нет /dev/parport0-3, нет его и в /proc/ioports), "
                   "а --port и PROGRAMMER_PORT не заданы; загрузите драйверы (sudo modprobe "
                   "parport_pc ppdev) и см. programmer probe --port ppdev; --port sim — "
                   "имитация платы";
}

std::optional<std::string> find_parallel_port() {
  for (int number = 0; number < 4; ++number) {
    const std::string device = "/dev/parport" + std::to_string(number);
    if (posix::file_facts(device).kind == posix::FileKind::character_device)
      return "ppdev:" + device;
  }
  // "  0378-037a : parport0"
  std::ifstream ports("/proc/ioports");
  for (std::string line; std::getline(ports, line);) {
    const size_t name = line.find(": parport");
    if (name == std::string::npos) continue;
    const size_t start = line.find_first_not_of(' ');
    const size_t dash = line.find('-', start);
    if (start == std::string::npos || dash == std::string::npos) continue;
    return "direct:0x" + line.substr(start, dash - start);
  }
  return std::nullopt;
}

PortDecision decide_port(const std::string& given, const char* environment,
                         const std::function<std::optional<std::string>()>& find, bool english) {
  if (!given.empty()) return {given, ""};
  if (environment != nullptr && *environment != 0) {
    return {environment, english ? std::string("port ") + environment + " (from PROGRAMMER_PORT)"
                                 : std::string("порт ") + environment + " (из PROGRAMMER_PORT)"};
  }
  if (const auto found = find()) {
    return {*found,
            english ? "port " + *found + " (the first parallel port found; --port chooses another)"
                    : "порт " + *found +
                          " (первый найденный параллельный порт; другой выбирает --port)"};
  }
  return {};
}

}  // namespace fp::cli
