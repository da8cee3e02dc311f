// programmer: the command-line frontend (see programmer --help).
#include <unistd.h>

#include <iostream>
#include <variant>

#include "ui/cli/cli_options.h"
#include "ui/cli/cli_session.h"
#include "ui/cli/console.h"

int main(int argc, char** argv) {
  auto parsed = fp::cli::parse_command_line(argc, argv, std::cout, std::cerr);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const auto& options = std::get<fp::cli::CliOptions>(parsed);
  fp::cli::ConsoleSettings settings;
  settings.language =
      options.language == "en" ? fp::cli::Language::english : fp::cli::Language::russian;
  settings.assume_yes = options.yes;
  settings.error_is_terminal = ::isatty(STDERR_FILENO) == 1;
  settings.input_is_terminal = ::isatty(STDIN_FILENO) == 1;
  fp::cli::Console console(std::cout, std::cerr, std::cin, settings);
  return fp::cli::run_command(options, console);
}
