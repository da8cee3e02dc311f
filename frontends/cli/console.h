// What the command-line program shows and asks: message-box texts as lines
// (results on standard output, errors on standard error), in Russian or in
// English, questions answered by --yes or on the terminal, and a progress
// line on standard error while a terminal shows it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fp::cli {

enum class Language { russian, english };

struct ConsoleSettings {
  Language language = Language::russian;
  bool assume_yes = false;
  bool error_is_terminal = false;  // progress line and prompts go to standard error
  bool input_is_terminal = false;  // questions can be asked
  bool quiet = false;              // -q: errors only
  bool verbose = false;            // -v: the details too
};

class Console {
 public:
  Console(std::ostream& out, std::ostream& err, std::istream& in, ConsoleSettings settings)
      : out_(out), err_(err), in_(in), settings_(settings) {}

  std::ostream& out() { return out_; }
  // Standard output carries an image: results go to standard error.
  void keep_output_for_data() { data_on_output_ = true; }
  std::ostream& err() { return err_; }
  [[nodiscard]] bool english() const { return settings_.language == Language::english; }
  // The command line's own text in the run's language.
  [[nodiscard]] std::string pick(std::string_view english, std::string_view russian) const {
    return std::string(this->english() ? english : russian);
  }
  // Standard input, for an image given as "-".
  std::istream& in() { return in_; }

  // A text of the program as the operator reads it.
  [[nodiscard]] std::string shown(std::u16string_view text) const;

  void result(std::u16string_view text);
  // A label of the program, then a value that is not translated (codes, numbers).
  void labelled(std::u16string_view label, std::string_view separator, std::u16string_view value);
  void error(std::u16string_view text);
  // A line of the command line's own on standard output (deferred as results are).
  void line(const std::string& text) {
    if (!settings_.quiet) say(out_, text);
  }
  // A line of the command line's own that goes with the results (the sums).
  void result_line(std::string_view line);
  // The command-line program's own notes on standard error: "programmer: ...".
  void note(std::string_view text);
  // A note of why the run fails: said under -q too.
  void failure(std::string_view text);
  // A note for -v alone.
  void detail(std::string_view text);
  [[nodiscard]] bool verbose() const { return settings_.verbose; }

  // From now on results and values wait until say_deferred(): a run says
  // nothing of success before the board is idle and its file saved.
  void defer_results() { deferring_ = true; }
  void say_deferred();
  void drop_deferred() { deferred_.clear(); }
  // Called with true before a question waits for the terminal, false after.
  void on_question(std::function<void(bool asking)> listener) {
    question_listener_ = std::move(listener);
  }

  // Yes or no; nothing when nobody could be asked.
  std::optional<bool> ask(std::u16string_view question, bool default_yes);
  // An OK box that holds something on until it is closed (the programming
  // voltage): waits for Enter on a terminal.
  void hold(std::u16string_view text);

  // Progress of one chip loop: start and count of the addresses it runs over.
  void progress_range(uint32_t start, uint32_t count);
  void progress(std::u16string_view status_text);
  void end_progress();

 private:
  void clear_progress_line();
  // A line for standard output, or for the stream that carries results.
  void say(std::ostream& stream, const std::string& line);

  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  ConsoleSettings settings_;
  uint32_t range_start_ = 0;
  uint32_t range_count_ = 0;
  bool line_shown_ = false;
  bool data_on_output_ = false;
  bool deferring_ = false;
  std::vector<std::pair<std::ostream*, std::string>> deferred_;
  std::function<void(bool)> question_listener_;
  std::optional<std::chrono::steady_clock::time_point> started_;
  std::chrono::steady_clock::time_point last_drawn_{};
};

// "Запись: 1C00h" gives 0x1C00; nothing for a text without an address.
std::optional<uint32_t> progress_address(std::u16string_view status_text);

}  // namespace fp::cli
