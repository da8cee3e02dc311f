#include "ui/cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <array>
#include <utility>

namespace fp::cli {
namespace {

constexpr std::array<std::pair<Command, const char*>, 11> COMMANDS{{
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
}};

constexpr int USAGE_ERROR = 2;

}  // namespace

const char* command_name(Command command) {
  for (const auto& [value, name] : COMMANDS) {
    if (value == command) return name;
  }
  return "?";
}

std::variant<CliOptions, int> parse_command_line(int argc, const char* const* argv,
                                                 std::ostream& out, std::ostream& err) {
  CliOptions options;
  CLI::App app{"Flash programmer on the parallel-port programmer board", "programmer"};
  app.require_subcommand(1, 1);
  app.fallthrough();

  app.add_option("--chip", options.chip, "catalogue row: its name or number (see list)");
  app.add_option("--port", options.port,
                 "sim[:FILE] | ppdev[:/dev/parportN] | direct[:0x378]  (default sim)");
  app.add_option("--file-offset", options.file_offset, "image file offset, hexadecimal");
  app.add_option("--chip-offset", options.chip_offset, "chip start address, hexadecimal");
  app.add_option("--length", options.length, "byte count, hexadecimal");
  app.add_option("--blocks", options.blocks,
                 "erase and blank-check blocks: all, or block addresses as 0,1C000");
  app.add_option("--block", options.block, "erase block: chip, or a block address");
  app.add_flag("--yes,-y", options.yes, "answer yes to the questions");
  app.add_flag("--fixed-waits", options.fixed_waits,
               "wait the window's fixed times instead of asking the chip when it is done");
  app.add_option("--trace", options.trace, "write every port access to FILE");
  app.add_option("--lang", options.language, "language of the messages")
      ->check(CLI::IsMember({"ru", "en"}));
  app.add_option("--format", options.format, "image format (default: by the extension)")
      ->check(CLI::IsMember({"raw", "hex", "srec"}));

  app.add_subcommand("list", "the chip catalogue with sizes and operations");
  app.add_subcommand("id", "identify the chip");
  for (const char* name : {"read", "write", "verify"}) {
    const char* help = std::string_view(name) == "read"    ? "read the chip into FILE"
                       : std::string_view(name) == "write" ? "write FILE to the chip, then verify"
                                                           : "compare FILE with the chip";
    app.add_subcommand(name, help)->add_option("FILE", options.file, "image file")->required();
  }
  app.add_subcommand("blank", "check that the chip is erased");
  app.add_subcommand("erase", "erase the chip (or --block / --blocks)");
  std::string sdp_state;
  app.add_subcommand("sdp", "switch software data protection on or off")
      ->add_option("STATE", sdp_state, "on or off")
      ->required()
      ->check(CLI::IsMember({"on", "off"}));
  CLI::App* fuses = app.add_subcommand("fuses", "print the fuses and lock bits; write fuses");
  fuses->add_option("--low", options.fuse_low, "fuse low byte to write, hexadecimal");
  fuses->add_option("--high", options.fuse_high, "fuse high byte to write, hexadecimal");
  fuses->add_option("--ext", options.fuse_extended, "extended fuse byte to write, hexadecimal");
  app.add_subcommand("lock", "write the lock byte (asks first)")
      ->add_option("XX", options.lock_value, "lock byte, hexadecimal")
      ->required();
  app.add_subcommand("calibrate",
                     "measure the board's timer and switch on the programming voltage");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // A misspelt command would otherwise read "A subcommand is required".
    if (app.get_subcommands().empty() && !app.remaining().empty() && error.get_exit_code() != 0) {
      err << "programmer: unknown command " << app.remaining().front()
          << " (see: programmer --help)\n";
      return USAGE_ERROR;
    }
    const int status = app.exit(error, out, err);
    return status == 0 ? 0 : USAGE_ERROR;
  }
  for (const auto& [command, name] : COMMANDS) {
    if (app.got_subcommand(name)) options.command = command;
  }
  options.sdp_on = sdp_state == "on";
  return options;
}

}  // namespace fp::cli
