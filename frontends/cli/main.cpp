// programmer: the command-line frontend (see programmer --help).
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <variant>

#include "frontends/cli/cli_options.h"
#include "frontends/cli/cli_session.h"
#include "frontends/cli/console.h"
#include "frontends/cli/exit_status.h"
#include "frontends/cli/port_choice.h"
#include "frontends/cli/production_loop.h"
#include "frontends/cli/run_language.h"
#include "frontends/cli/system_texts.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/run_signals.h"
#include "platform/posix/standard_streams.h"

namespace {

int run(int argc, char** argv, const fp::posix::MissingStreams& missing,
        fp::posix::RunSignals& signals, bool& repeat, bool& english) {
  const fp::cli::Language locale =
      fp::cli::language_from_locale([](const char* name) { return std::getenv(name); });
  english =
      fp::cli::language_from_arguments(argc, argv).value_or(locale) == fp::cli::Language::english;
  auto parsed = fp::cli::parse_command_line(argc, argv, std::cout, std::cerr, locale);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  auto options = std::get<fp::cli::CliOptions>(parsed);
  repeat = options.repeat;
  english = options.language == "en";
  if (options.command != fp::cli::Command::list && options.command != fp::cli::Command::sum) {
    const auto decision = fp::cli::decide_port(options.port, std::getenv("PROGRAMMER_PORT"),
                                               fp::cli::find_parallel_port, english);
    // probe without a port shows what is missing for the usual one; another
    // command refuses once its options are found sound.
    const bool probe = options.command == fp::cli::Command::probe;
    options.port = decision.port.empty() && probe ? "ppdev" : decision.port;
    options.port_origin = decision.note;
  }
  if (missing.output && options.command == fp::cli::Command::read && options.file == "-") {
    std::cerr << (options.language == "en"
                      ? "programmer: read -: standard output is closed; nowhere to put the image\n"
                      : "programmer: read -: стандартный вывод закрыт; образ некуда записать\n");
    return fp::EXIT_FAILURE_STATUS;
  }
  fp::cli::ConsoleSettings settings;
  settings.language =
      options.language == "en" ? fp::cli::Language::english : fp::cli::Language::russian;
  settings.assume_yes = options.yes;
  settings.quiet = options.quiet;
  settings.verbose = options.verbose;
  settings.error_is_terminal = fp::posix::is_terminal(fp::posix::StandardStream::error);
  settings.input_is_terminal = fp::posix::is_terminal(fp::posix::StandardStream::input);
  fp::cli::Console console(std::cout, std::cerr, std::cin, settings);
  if (options.repeat || options.count) {
    if (!options.repeat) {
      std::cerr << (english ? "programmer: --count goes with --repeat\n"
                            : "programmer: --count применяется только с --repeat\n");
      return fp::EXIT_USAGE_STATUS;
    }
    fp::cli::LoopSettings loop;
    loop.bell = fp::posix::is_terminal(fp::posix::StandardStream::output);
    return fp::cli::run_production_loop(options, console, signals, loop, nullptr);
  }
  return fp::cli::run_command(options, console, signals);
}

}  // namespace

int main(int argc, char** argv) {
  // Before any file is opened: none may become standard output.
  const fp::posix::MissingStreams missing = fp::posix::open_missing_standard_streams();
  fp::posix::RunSignals signals;
  bool repeat = false;
  bool english = false;
  int status = run(argc, argv, missing, signals, repeat, english);
  // What was said must have reached standard output: a full disk or a
  // closed pipe is a failure, not a success nobody saw.
  errno = 0;
  if (!std::cout.flush()) {
    const int error = errno;
    std::cerr << (english ? "programmer: cannot write standard output"
                          : "programmer: не удаётся записать стандартный вывод")
              << (error != 0 ? ": " + fp::cli::error_text(error, english) : std::string()) << "\n";
    if (status == fp::EXIT_SUCCESS_STATUS) status = fp::EXIT_FAILURE_STATUS;
  }
  // The production loop ends between chips on Ctrl-C and the like, with
  // its tally's status; a write the signal cut short said so already.
  const int signal = signals.caught();
  const bool loop_ended = repeat && signal != SIGPIPE && signal != SIGXFSZ;
  if (signal != 0 && status < 128 && !loop_ended) {
    // A write that raised SIGPIPE or SIGXFSZ outside a change to the chip.
    status = 128 + signal;
  }
  return status;
}
