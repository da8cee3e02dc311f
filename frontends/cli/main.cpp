// programmer: the command-line frontend (see programmer --help).
#include <iostream>
#include <variant>

#include "frontends/cli/cli_options.h"
#include "frontends/cli/cli_session.h"
#include "frontends/cli/console.h"
#include "platform/posix/file_facts.h"

int main(int argc, char** argv) {
  auto parsed = fp::cli::parse_command_line(argc, argv, std::cout, std::cerr);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const auto& options = std::get<fp::cli::CliOptions>(parsed);
  fp::cli::ConsoleSettings settings;
  settings.language =
      options.language == "en" ? fp::cli::Language::english : fp::cli::Language::russian;
  settings.assume_yes = options.yes;
  settings.error_is_terminal = fp::posix::is_terminal(fp::posix::StandardStream::error);
  settings.input_is_terminal = fp::posix::is_terminal(fp::posix::StandardStream::input);
  fp::cli::Console console(std::cout, std::cerr, std::cin, settings);
  return fp::cli::run_command(options, console);
}
