#include "frontends/cli/console.h"

#include <algorithm>
#include <cstdio>

#include "frontends/cli/texts_en.h"
#include "platform/utf8.h"

namespace fp::cli {
namespace {

// Redrawing the line for every 256 addresses would cost more than the read.
constexpr auto REDRAW_INTERVAL = std::chrono::milliseconds(100);

std::string lines_of(std::string text) {
  // Message boxes break lines with \r\n; a terminal wants \n.
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

}  // namespace

std::optional<uint32_t> progress_address(std::u16string_view status_text) {
  if (status_text.size() < 2 || status_text.back() != u'h') return std::nullopt;
  const size_t blank = status_text.rfind(u' ');
  if (blank == std::u16string_view::npos) return std::nullopt;
  const std::u16string_view digits = status_text.substr(blank + 1, status_text.size() - blank - 2);
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (const char16_t c : digits) {
    const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                      : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                               : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

std::string Console::shown(std::u16string_view text) const {
  if (settings_.language == Language::english) return lines_of(to_utf8(in_english(text)));
  return lines_of(to_utf8(text));
}

void Console::say(std::ostream& stream, const std::string& line) {
  if (deferring_) {
    deferred_.emplace_back(&stream, line);
    return;
  }
  clear_progress_line();
  stream << line << '\n';
  stream.flush();
}

void Console::say_deferred() {
  deferring_ = false;
  for (const auto& [stream, line] : deferred_) say(*stream, line);
  deferred_.clear();
}

void Console::result(std::u16string_view text) {
  if (settings_.quiet) return;
  say(data_on_output_ ? err_ : out_, shown(text));
}

void Console::result_line(std::string_view line) {
  if (settings_.quiet) return;
  say(data_on_output_ ? err_ : out_, std::string(line));
}

void Console::labelled(std::u16string_view label, std::string_view separator,
                       std::u16string_view value) {
  if (settings_.quiet) return;
  say(out_, shown(label) + std::string(separator) + lines_of(to_utf8(value)));
}

void Console::error(std::u16string_view text) {
  clear_progress_line();
  out_.flush();
  err_ << shown(text) << '\n';
  err_.flush();
}

void Console::note(std::string_view text) {
  if (!settings_.quiet) failure(text);
}

void Console::detail(std::string_view text) {
  if (settings_.verbose && !settings_.quiet) failure(text);
}

void Console::failure(std::string_view text) {
  clear_progress_line();
  out_.flush();
  err_ << "programmer: " << text << '\n';
  err_.flush();
}

std::optional<bool> Console::ask(std::u16string_view question, bool default_yes) {
  if (settings_.assume_yes) return true;
  clear_progress_line();
  out_.flush();
  if (!settings_.input_is_terminal) {
    err_ << shown(question) << '\n';
    err_.flush();
    return std::nullopt;
  }
  err_ << shown(question) << (default_yes ? " [Y/n] " : " [y/N] ");
  err_.flush();
  std::string answer;
  if (question_listener_) question_listener_(true);
  const bool answered = static_cast<bool>(std::getline(in_, answer));
  if (question_listener_) question_listener_(false);
  if (!answered) return std::nullopt;
  answer.erase(std::remove(answer.begin(), answer.end(), ' '), answer.end());
  if (answer.empty()) return default_yes;
  const std::u16string word = from_utf8(answer);
  return word == u"y" || word == u"Y" || word == u"yes" || word == u"д" || word == u"Д" ||
         word == u"да";
}

void Console::hold(std::u16string_view text) {
  // What came before is said first: the operator reads in order.
  for (const auto& [stream, line] : deferred_) *stream << line << '\n';
  deferred_.clear();
  clear_progress_line();
  out_ << shown(text) << '\n';
  out_.flush();
  if (settings_.input_is_terminal && settings_.error_is_terminal) {
    err_ << "[Enter] ";
    err_.flush();
    std::string ignored;
    std::getline(in_, ignored);
  }
}

void Console::progress_range(uint32_t start, uint32_t count) {
  range_start_ = start;
  range_count_ = count;
  started_ = std::chrono::steady_clock::now();
}

void Console::progress(std::u16string_view status_text) {
  if (!settings_.error_is_terminal) return;
  const auto now = std::chrono::steady_clock::now();
  if (!started_) started_ = now;
  if (line_shown_ && now - last_drawn_ < REDRAW_INTERVAL) return;
  last_drawn_ = now;
  std::string line = shown(status_text);
  if (const auto address = progress_address(status_text); address && range_count_ != 0) {
    const uint64_t done = *address >= range_start_ ? *address - range_start_ : 0;
    const uint64_t percent = std::min<uint64_t>(100, done * 100 / range_count_);
    line += "  " + std::to_string(percent) + "%";
  }
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - *started_).count();
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "  %lld:%02lld", static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  line += elapsed;
  err_ << "\r\033[K" << line;
  err_.flush();
  line_shown_ = true;
}

void Console::end_progress() {
  clear_progress_line();
}

void Console::clear_progress_line() {
  if (!line_shown_) return;
  err_ << "\r\033[K";
  err_.flush();
  line_shown_ = false;
}

}  // namespace fp::cli
