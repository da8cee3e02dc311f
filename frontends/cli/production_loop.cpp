#include "frontends/cli/production_loop.h"

#include <optional>
#include <sstream>
#include <variant>
#include <vector>

#include "app/socket_probe.h"
#include "frontends/cli/chip_choice.h"
#include "frontends/cli/cli_session.h"
#include "frontends/cli/exit_status.h"
#include "frontends/cli/image_staging.h"
#include "platform/utf8.h"

namespace fp::cli {
namespace {

// Whatever the socket holds, an operator is told again after this many looks.
constexpr int SAME_NOTE_LOOKS = 240;

class Loop {
 public:
  Loop(const CliOptions& options, Console& console, posix::RunSignals& signals,
       const LoopSettings& settings, ChipResultListener* listener)
      : options_(options),
        console_(console),
        signals_(signals),
        settings_(settings),
        listener_(listener) {}

  int run();

 private:
  enum class Waited { done, ended, failed };

  std::optional<int> refusal();
  SocketLook look();
  // Until a chip of the row answers (present) or none does (not present).
  Waited wait_for_chip(bool present);
  // Rows whose chip gives no ID at 5 V: the operator says when it is in.
  Waited wait_for_enter(unsigned number);
  int finish(int status);

  CliOptions options_;
  Console& console_;
  posix::RunSignals& signals_;
  LoopSettings settings_;
  ChipResultListener* listener_;
  const ChipDescriptor* row_ = nullptr;
  std::string row_name_;
  std::vector<uint8_t> image_;  // the file as the loop began
  unsigned passed_ = 0;
  unsigned failed_ = 0;
};

std::optional<int> Loop::refusal() {
  const auto usage = [this](const std::string& why) {
    console_.note(why);
    return EXIT_USAGE_STATUS;
  };
  if (options_.chip.empty())
    return usage(
        console_.pick("--repeat needs the row: --chip NAME (see: programmer list)",
                      "для --repeat нужна строка каталога: --chip ИМЯ (см. programmer list)"));
  if (options_.file == "-")
    return usage(console_.pick("--repeat needs an image file, not standard input",
                               "для --repeat нужен файл образа, а не стандартный ввод"));
  if (!options_.backup.empty())
    return usage(console_.pick("--backup goes with one chip, not with --repeat",
                               "--backup применим к одной микросхеме, не к --repeat"));
  if (!options_.trace.empty())
    return usage(console_.pick("--trace goes with one chip, not with --repeat",
                               "--trace применим к одной микросхеме, не к --repeat"));
  auto found = find_row(options_.chip, console_.english());
  if (const auto* why = std::get_if<std::string>(&found)) return usage("--chip: " + *why);
  row_ = std::get<const ChipDescriptor*>(found);
  row_name_ = to_utf8(row_->name);
  if (options_.port.empty()) return std::nullopt;  // the first chip's run says what to do
  const auto bytes = image_file_bytes(options_.file);
  if (!bytes) {
    console_.note(console_.pick("cannot read ", "не удаётся прочитать ") + options_.file);
    return EXIT_FAILURE_STATUS;
  }
  image_ = *bytes;
  return std::nullopt;
}

SocketLook Loop::look() {
  // A look is silent; when the board cannot be asked, what it said is shown.
  std::ostringstream out;
  std::ostringstream err;
  ConsoleSettings quiet;
  quiet.language = console_.english() ? Language::english : Language::russian;
  Console console(out, err, console_.in(), quiet);
  const SocketLook seen = look_into_socket(options_, console, signals_);
  if (seen.state == SocketState::unknown) console_.err() << err.str();
  return seen;
}

Loop::Waited Loop::wait_for_chip(bool present) {
  console_.note(
      present ? console_.pick("waiting for the next " + row_name_ + " in the socket (Ctrl-C ends)",
                              "ожидание следующей " + row_name_ + " в панели (Ctrl-C завершает)")
              : console_.pick("take the chip out of the socket", "выньте микросхему из панели"));
  std::string told;
  int looks = 0;
  for (;;) {
    const SocketLook seen = look();
    if (seen.state == SocketState::unknown) return Waited::failed;
    if ((seen.state == SocketState::chip_of_row) == present) return Waited::done;
    if (present && seen.state == SocketState::other && (seen.what != told || looks == 0)) {
      console_.note(seen.what + console_.pick(": not the " + row_name_ + "; waiting",
                                              ": это не " + row_name_ + "; ожидание"));
      told = seen.what;
      looks = SAME_NOTE_LOOKS;
    }
    if (looks > 0) --looks;
    if (signals_.wait(settings_.poll_interval) == posix::RunSignals::Woken::signal) {
      return Waited::ended;
    }
  }
}

Loop::Waited Loop::wait_for_enter(unsigned number) {
  const std::string chip = std::to_string(number);
  console_.note(console_.pick("the " + row_name_ + " gives no ID at 5 V: put chip " + chip +
                                  " into the socket and press Enter (Ctrl-D or Ctrl-C ends)",
                              row_name_ + " не выдаёт код при 5 В: вставьте микросхему " + chip +
                                  " в панель и нажмите Enter (Ctrl-D или Ctrl-C завершает)"));
  switch (signals_.wait_for_line(settings_.input_fd)) {
    case posix::RunSignals::Line::read:
      return Waited::done;
    case posix::RunSignals::Line::ended:
    case posix::RunSignals::Line::signal:
      break;
  }
  return Waited::ended;
}

int Loop::finish(int status) {
  const unsigned chips = passed_ + failed_;
  if (console_.english()) {
    console_.out() << "tally: " << passed_ << " passed, " << failed_ << " failed, " << chips
                   << (chips == 1 ? " chip" : " chips") << '\n';
  } else {
    console_.out() << "итог: годных " << passed_ << ", брак " << failed_ << ", всего микросхем "
                   << chips << '\n';
  }
  console_.out().flush();
  if (status != EXIT_SUCCESS_STATUS) return status;
  return failed_ == 0 ? EXIT_SUCCESS_STATUS : EXIT_FAILURE_STATUS;
}

int Loop::run() {
  if (const auto refused = refusal()) return *refused;
  std::optional<unsigned> count;
  if (options_.count) {
    const std::string& text = *options_.count;
    const bool digits = !text.empty() && text.size() < 7 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoul(text) == 0) {
      console_.note("--count " + text +
                    console_.pick(": give a number of chips from 1 to 999999",
                                  ": укажите число микросхем от 1 до 999999"));
      return EXIT_USAGE_STATUS;
    }
    count = static_cast<unsigned>(std::stoul(text));
  }
  const bool by_hand = identifies_with_high_voltage(*row_);
  // Ctrl-C between chips ends the loop here, with the tally; a chip's run
  // holds it as any write does.
  signals_.hold();
  int status = EXIT_SUCCESS_STATUS;
  for (unsigned number = 1; !count || number <= *count; ++number) {
    const Waited waited = by_hand ? wait_for_enter(number) : wait_for_chip(true);
    if (waited == Waited::failed) status = EXIT_FAILURE_STATUS;
    if (waited != Waited::done) break;
    if (!options_.port.empty() && image_file_bytes(options_.file) != image_) {
      const std::string chip = std::to_string(number);
      console_.note(options_.file +
                    console_.pick(" changed since the loop began: stopped before chip " + chip +
                                      ", which was not touched",
                                  " изменился после начала цикла: остановлено перед микросхемой " +
                                      chip + ", она не затронута"));
      status = EXIT_FAILURE_STATUS;
      break;
    }
    CliOptions one = options_;
    one.repeat = false;
    one.count.reset();
    const int chip_status = run_command(one, console_, signals_);
    if (chip_status == EXIT_USAGE_STATUS) {
      status = chip_status;  // every chip would be refused the same way
      break;
    }
    const bool passed = chip_status == EXIT_SUCCESS_STATUS;
    ++(passed ? passed_ : failed_);
    // PASS and FAIL stay keywords in either language: scripts look for them.
    console_.out() << (passed ? "PASS" : "FAIL") << console_.pick(" chip ", " микросхема ")
                   << number << " (" << row_name_ << "): "
                   << (console_.english() ? std::to_string(passed_) + " passed, " +
                                                std::to_string(failed_) + " failed"
                                          : "годных " + std::to_string(passed_) + ", брак " +
                                                std::to_string(failed_))
                   << (settings_.bell ? "\a" : "") << '\n';
    console_.out().flush();
    if (listener_ != nullptr) {
      listener_->chip_done({number, passed, chip_status, row_name_, passed_, failed_});
    }
    // A chip whose run a signal interrupted is counted and told as failed
    // (its write said what to check), and the loop ends with it.
    if (chip_status >= 128) {
      status = chip_status;
      break;
    }
    if (count && number == *count) break;
    if (!by_hand) {
      const Waited out = wait_for_chip(false);
      if (out == Waited::failed) status = EXIT_FAILURE_STATUS;
      if (out != Waited::done) break;
    }
  }
  if (const int signal = signals_.caught(); signal != 0 && status < 128) {
    console_.note(console_.pick("ended by ", "завершено сигналом ") + posix::signal_name(signal) +
                  console_.pick(" between chips", " между микросхемами"));
  }
  signals_.let_go();
  return finish(status);
}

}  // namespace

int run_production_loop(const CliOptions& options, Console& console, posix::RunSignals& signals,
                        const LoopSettings& settings, ChipResultListener* listener) {
  Loop loop(options, console, signals, settings, listener);
  return loop.run();
}

}  // namespace fp::cli
