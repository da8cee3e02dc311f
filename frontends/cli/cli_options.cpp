#include "frontends/cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <array>
#include <initializer_list>
#include <regex>
#include <string_view>
#include <utility>

#include "frontends/cli/run_language.h"

namespace fp::cli {
namespace {

constexpr std::array<std::pair<Command, const char*>, 14> COMMANDS{{
    {Command::list, "list"},
    {Command::id, "id"},
    {Command::read, "read"},
    {Command::write, "write"},
    {Command::verify, "verify"},
    {Command::blank, "blank"},
    {Command::erase, "erase"},
    {Command::sdp, "sdp"},
    {Command::fuses, "fuses"},
    {Command::lock, "lock"},
    {Command::calibrate, "calibrate"},
    {Command::probe, "probe"},
    {Command::sim, "sim"},
    {Command::sum, "sum"},
}};

constexpr int USAGE_ERROR = 2;

using Commands = std::initializer_list<Command>;

constexpr Commands ON_CHIP{Command::id,    Command::read,     Command::write, Command::verify,
                           Command::blank, Command::erase,    Command::sdp,   Command::fuses,
                           Command::lock,  Command::calibrate};
constexpr Commands SLICED{Command::read, Command::write, Command::verify, Command::sum};

// Which subcommands take each option: the help of a subcommand lists its
// own, and an option given to another one is refused with this rule.
struct OptionRule {
  const char* name;
  Commands commands;
};

const std::array<OptionRule, 26> OPTION_RULES{{
    {"--chip",
     {Command::id, Command::read, Command::write, Command::verify, Command::blank, Command::erase,
      Command::sdp, Command::fuses, Command::lock, Command::calibrate, Command::sum}},
    {"--port",
     {Command::id, Command::read, Command::write, Command::verify, Command::blank, Command::erase,
      Command::sdp, Command::fuses, Command::lock, Command::calibrate, Command::probe,
      Command::sim}},
    {"--yes", ON_CHIP},
    {"--trace", ON_CHIP},
    {"--lang", {}},  // every subcommand
    {"--file-offset", SLICED},
    {"--chip-offset", SLICED},
    {"--length", SLICED},
    {"--format", SLICED},
    {"--blocks", {Command::blank, Command::erase}},
    {"--block", {Command::erase}},
    {"--no-erase", {Command::write}},
    {"--backup", {Command::write, Command::erase}},
    {"--force", {Command::write, Command::erase, Command::fuses, Command::lock}},
    {"--fixed-waits", {Command::write, Command::erase, Command::sdp}},
    {"--low", {Command::fuses}},
    {"--high", {Command::fuses}},
    {"--ext", {Command::fuses}},
    {"--repeat", {Command::write}},
    {"--count", {Command::write}},
    {"--json", {Command::list, Command::id}},
    {"--diff", {Command::verify}},
    {"--dry-run", {Command::write, Command::erase}},
    {"--quiet", ON_CHIP},
    {"--verbose", ON_CHIP},
    {"--log", ON_CHIP},
}};

bool takes(Command command, std::string_view option) {
  for (const OptionRule& rule : OPTION_RULES) {
    if (rule.name != option) continue;
    if (rule.commands.size() == 0) return true;
    for (const Command taker : rule.commands) {
      if (taker == command) return true;
    }
  }
  return false;
}

std::string goes_with(std::string_view option, bool english) {
  for (const OptionRule& rule : OPTION_RULES) {
    if (rule.name != option) continue;
    std::string names;
    size_t left = rule.commands.size();
    for (const Command command : rule.commands) {
      --left;
      names += command_name(command);
      names += left > 1 ? ", " : left == 1 ? (english ? " and " : " и ") : "";
    }
    return std::string(option) + (english ? " goes with " : " относится только к командам ") +
           names;
  }
  return std::string(option) + (english ? ": no such option (see: programmer --help)"
                                        : ": такого параметра нет (см. programmer --help)");
}

// The parser's own message, in the run's language.
std::string parser_error_text(const CLI::ParseError& error, bool english) {
  const std::string what = error.what();
  if (english) return what + " (see: programmer --help)";
  static const std::regex REQUIRED("(.*) is required");
  static const std::regex NOT_MEMBER("(.*): (.*) not in \\{(.*)\\}");
  static const std::regex NEEDS_VALUE("(.*): [0-9]+ required .*(missing|lacks .*)");
  std::smatch match;
  if (what == "A subcommand is required") return "не задана команда (см. programmer --help)";
  if (std::regex_match(what, match, REQUIRED)) {
    return match[1].str() + ": не задан (см. programmer --help)";
  }
  if (std::regex_match(what, match, NOT_MEMBER)) {
    return match[1].str() + ": " + match[2].str() + " — допустимо одно из {" + match[3].str() + "}";
  }
  if (std::regex_match(what, match, NEEDS_VALUE)) {
    return match[1].str() + ": не задано значение";
  }
  return "ошибка в командной строке (" + what + "; см. programmer --help)";
}

const char* command_help(Command command) {
  switch (command) {
    case Command::list:
      return "the chip catalogue with sizes, IDs and operations";
    case Command::id:
      return "identify the chip";
    case Command::read:
      return "read the chip into FILE (- for standard output)";
    case Command::write:
      return "write FILE (- for standard input) to the chip: erase only where needed, keep the "
             "rest of the chip, program what differs, verify";
    case Command::verify:
      return "compare FILE (- for standard input) with the chip";
    case Command::blank:
      return "check that the chip is erased";
    case Command::erase:
      return "erase the chip (or --block / --blocks)";
    case Command::sdp:
      return "switch software data protection on or off";
    case Command::fuses:
      return "print the fuses and lock bits; write fuses";
    case Command::lock:
      return "write the lock byte (asks first)";
    case Command::calibrate:
      return "measure the board's timer and switch on the programming voltage";
    case Command::probe:
      return "check that the port and the board are ready for programming";
    case Command::sim:
      return "the simulated board's socket: insert ROW (a fresh chip) or remove, on --port "
             "sim:FILE";
    case Command::sum:
      return "print the CRC-32 and 16-bit sum of FILE's slice, as read, write and verify do";
  }
  return "";
}

void add_options(CLI::App& sub, Command command, CliOptions& options) {
  const auto here = [command](const char* option) { return takes(command, option); };
  if (here("--chip")) {
    sub.add_option("--chip", options.chip, "catalogue row: its name or number (see list)");
  }
  if (here("--port")) {
    sub.add_option(
        "--port", options.port,
        "sim[:FILE][,socket=ROW|empty][,fault=KIND]... | ppdev[:/dev/parportN] | direct[:0x378]  "
        "(default sim)");
  }
  if (here("--file-offset")) {
    sub.add_option("--file-offset", options.file_offset, "image file offset (hexadecimal)");
    sub.add_option("--chip-offset", options.chip_offset, "chip start address (hexadecimal)");
    sub.add_option("--length", options.length, "byte count (hexadecimal; default: to the end)");
    sub.add_option("--format", options.format, "image format (default: by the file's content)")
        ->check(CLI::IsMember({"raw", "hex", "srec"}));
  }
  if (here("--blocks")) {
    sub.add_option("--blocks", options.blocks,
                   "i28F001BX blocks: all, or block addresses as 0,1C000");
  }
  if (here("--block")) {
    sub.add_option("--block", options.block, "AT49F erase block: chip, or a block address");
  }
  if (here("--no-erase")) {
    sub.add_flag("--no-erase", options.no_erase, "the window's plain write: no read, no erase");
  }
  if (here("--backup")) {
    sub.add_option("--backup", options.backup,
                   "save the whole chip to FILE (a new file) before anything changes");
  }
  if (here("--fixed-waits")) {
    sub.add_flag("--fixed-waits", options.fixed_waits,
                 "wait the window's fixed times instead of asking the chip when it is done");
  }
  if (here("--force")) {
    sub.add_flag("--force", options.force,
                 "go on when another chip answers (never 12 V on a 5 V chip)");
  }
  if (here("--low")) {
    sub.add_option("--low", options.fuse_low, "fuse low byte to write (hexadecimal)");
    sub.add_option("--high", options.fuse_high, "fuse high byte to write (hexadecimal)");
    sub.add_option("--ext", options.fuse_extended, "extended fuse byte to write (hexadecimal)");
  }
  if (here("--repeat")) {
    sub.add_flag("--repeat", options.repeat,
                 "production loop: wait for each chip, write and verify it, PASS or FAIL, until "
                 "Ctrl-C");
    sub.add_option("--count", options.count, "with --repeat: stop after N chips");
  }
  if (here("--json")) sub.add_flag("--json", options.json, "JSON for scripts (see man page)");
  if (here("--diff")) {
    sub.add_option("--diff", options.diff,
                   "write every difference to FILE, one a line: address, file byte, chip byte");
  }
  if (here("--dry-run")) {
    sub.add_flag("--dry-run", options.dry_run,
                 "probe and read, print what would be erased and programmed, change nothing");
  }
  if (here("--quiet")) {
    sub.add_flag("--quiet,-q", options.quiet, "print errors only");
    sub.add_flag("--verbose,-v", options.verbose,
                 "print the probe's answer, the plan and the board time too");
  }
  if (here("--log")) {
    sub.add_option("--log", options.log,
                   "append one line about the run to FILE (time, port, row, ID, operation, file "
                   "and its CRC-32, result, board time, exit status)");
  }
  if (here("--yes")) sub.add_flag("--yes,-y", options.yes, "answer yes to the questions");
  if (here("--trace")) sub.add_option("--trace", options.trace, "write every port access to FILE");
  sub.add_option("--lang", options.language, "language of the messages (ru, en)")
      ->check(CLI::IsMember({"ru", "en"}));
  sub.allow_extras();
}

}  // namespace

const char* command_name(Command command) {
  for (const auto& [value, name] : COMMANDS) {
    if (value == command) return name;
  }
  return "?";
}

std::variant<CliOptions, int> parse_command_line(int argc, const char* const* argv,
                                                 std::ostream& out, std::ostream& err,
                                                 Language locale_language) {
  CliOptions options;
  const Language language = language_from_arguments(argc, argv).value_or(locale_language);
  const bool english = language == Language::english;
  CLI::App app{"Flash programmer on the parallel-port programmer board", "programmer"};
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", std::string("programmer ") + FP_VERSION);
  // Before the subcommand as well as after it.
  app.add_option("--lang", options.language, "language of the messages (ru, en)")
      ->check(CLI::IsMember({"ru", "en"}));
  std::string sdp_state;
  for (const auto& [command, name] : COMMANDS) {
    CLI::App* sub = app.add_subcommand(name, command_help(command));
    switch (command) {
      case Command::read:
      case Command::write:
      case Command::verify:
      case Command::sum:
        sub->add_option("FILE", options.file, "image file, or - for the standard stream")
            ->required();
        break;
      case Command::sdp:
        sub->add_option("STATE", sdp_state, "on or off")
            ->required()
            ->check(CLI::IsMember({"on", "off"}));
        break;
      case Command::lock:
        sub->add_option("XX", options.lock_value, "lock byte (hexadecimal)")->required();
        break;
      case Command::sim:
        sub->add_option("ACTION", options.sim_action, "insert or remove")
            ->required()
            ->check(CLI::IsMember({"insert", "remove"}));
        sub->add_option("ROW", options.sim_row, "insert: the row whose chip goes in");
        break;
      default:
        break;
    }
    add_options(*sub, command, options);
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // A misspelt command would otherwise read "A subcommand is required".
    if (app.get_subcommands().empty() && !app.remaining().empty() && error.get_exit_code() != 0) {
      err << "programmer: " << (english ? "unknown command " : "неизвестная команда ")
          << app.remaining().front()
          << (english ? " (see: programmer --help)\n" : " (см. programmer --help)\n");
      return USAGE_ERROR;
    }
    if (error.get_exit_code() == 0) return app.exit(error, out, err);
    err << "programmer: " << parser_error_text(error, english) << "\n";
    return USAGE_ERROR;
  }
  for (const auto& [command, name] : COMMANDS) {
    if (app.got_subcommand(name)) options.command = command;
  }
  const CLI::App* sub = app.get_subcommand(command_name(options.command));
  for (const std::string& extra : sub->remaining()) {
    if (extra.starts_with("-")) {
      err << "programmer: " << goes_with(extra.substr(0, extra.find('=')), english) << "\n";
    } else {
      err << "programmer: " << command_name(options.command)
          << (english ? ": unexpected argument " : ": лишний аргумент ") << extra << "\n";
    }
    return USAGE_ERROR;
  }
  options.sdp_on = sdp_state == "on";
  if (options.language.empty()) options.language = english ? "en" : "ru";
  return options;
}

}  // namespace fp::cli
