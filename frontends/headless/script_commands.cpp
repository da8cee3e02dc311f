#include "frontends/headless/script_commands.h"

#include <algorithm>
#include <variant>

#include "frontends/headless/script_line.h"
#include "platform/utf8.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace fp::headless {
namespace {

constexpr std::string_view ON_OFF[] = {"on", "off"};
constexpr std::string_view ANSWER_WORDS[] = {"yes", "no", "ok", "cancel"};
constexpr int ANSWERS[] = {answer::YES, answer::NO, answer::OK, answer::CANCEL};
constexpr uint64_t MAX_CONTROL_ID = 0xFFFF;

// "yes, no, ok or cancel"
std::string one_of(std::span<const std::string_view> words) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
    text += words[i];
  }
  return text;
}

// A row by its number, or by its text; the last of equal texts.
size_t catalogue_row(ScriptPlayer& player, const std::string& word) {
  if (!player.has_control(ctl::CHIP_LIST)) {
    throw ScriptError("the chip list is not in the top-most window");
  }
  const std::vector<std::u16string> items = player.list_items(ctl::CHIP_LIST);
  std::optional<size_t> row;
  if (const auto number = parse_script_number(word)) {
    if (*number < items.size()) row = static_cast<size_t>(*number);
  } else {
    const std::u16string name = from_utf8(word);
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i] == name) row = i;
    }
  }
  if (!row) throw ScriptError("no catalogue row " + word);
  return *row;
}

void play_on_board(ScriptPlayer& player, const CheckedLine& line) {
  player.board_command(line.line);
}

using Command = ScriptCommand<ScriptPlayer>;

constexpr Command SHARED_COMMANDS[] = {
    {"select",
     {WORD},
     [](ScriptPlayer& player, const CheckedLine& line) {
       player.select(ctl::CHIP_LIST, catalogue_row(player, line.word(0)));
     }},
    {"text",
     {CONTROL, WORD},
     [](ScriptPlayer& player, const CheckedLine& line) {
       player.set_text(line.control, from_utf8(line.word(1)));
     }},
    {"check",
     {CONTROL, choice(ON_OFF)},
     [](ScriptPlayer& player, const CheckedLine& line) {
       player.set_checked(line.control, line.choice == 0);
     }},
    {"click",
     {CONTROL},
     [](ScriptPlayer& player, const CheckedLine& line) { player.click(line.control); }},
    {"close", {}, [](ScriptPlayer& player, const CheckedLine&) { player.close(); }},
    {"answer",
     {choice(ANSWER_WORDS)},
     [](ScriptPlayer& player, const CheckedLine& line) {
       player.queue_answer(ANSWERS[line.choice]);
     }},
    {"filedialog",
     {WORD},
     [](ScriptPlayer& player, const CheckedLine& line) {
       const std::string& word = line.word(0);
       player.queue_file_dialog(word == "cancel" ? std::nullopt : std::optional(from_utf8(word)));
     }},
    {"print",
     {CONTROL},
     [](ScriptPlayer& player, const CheckedLine& line) { player.print(line.control); }},
    // The simulated board's own commands check their words themselves.
    {"insert", {REST}, play_on_board},
    {"fill", {REST}, play_on_board},
    {"dump", {REST}, play_on_board},
    {"fuses", {REST}, play_on_board},
    {"timer", {REST}, play_on_board},
    {"fault", {REST}, play_on_board},
};

}  // namespace

bool ScriptPlayer::play_own_command(const ScriptLine&) {
  return false;
}

int control_argument(ScriptPlayer& player, const std::string& word) {
  const auto id = parse_script_number(word);
  if (!id || *id > MAX_CONTROL_ID) throw ScriptError("bad control ID " + word);
  if (!player.has_control(static_cast<int>(*id))) {
    throw ScriptError("control " + word + " is not in the top-most window");
  }
  return static_cast<int>(*id);
}

CheckedLine check_arguments(std::string_view name, std::span<const Argument> arguments,
                            std::string_view usage, const ScriptLine& line, ScriptPlayer& player) {
  const auto takes = [&](const std::string& what) {
    return ScriptError(std::string(name) + " takes " + (usage.empty() ? what : std::string(usage)));
  };
  CheckedLine checked{line};
  const auto used = std::find_if(arguments.begin(), arguments.end(), [](const Argument& argument) {
    return argument.kind == ArgumentKind::none;
  });
  const auto count = static_cast<size_t>(used - arguments.begin());
  if (count > 0 && arguments[count - 1].kind == ArgumentKind::rest) return checked;
  if (line.words.size() != count + 1) throw takes(std::to_string(count) + " argument(s)");
  for (size_t i = 0; i < count; ++i) {
    if (arguments[i].kind != ArgumentKind::choice) continue;
    const auto& choices = arguments[i].choices;
    const auto found = std::find(choices.begin(), choices.end(), checked.word(i));
    if (found == choices.end()) throw takes(one_of(choices));
    checked.choice = static_cast<size_t>(found - choices.begin());
  }
  for (size_t i = 0; i < count; ++i) {
    if (arguments[i].kind == ArgumentKind::control) {
      checked.control = control_argument(player, checked.word(i));
    }
  }
  return checked;
}

std::span<const ScriptCommand<ScriptPlayer>> script_commands() {
  return SHARED_COMMANDS;
}

void play_script_line(ScriptPlayer& player, std::string_view text, size_t number) {
  const std::string where = "line " + std::to_string(number) + ": ";
  auto split = split_script_line(text);
  if (const auto* error = std::get_if<LineError>(&split)) {
    throw ScriptLineError(where + error->message);
  }
  ScriptLine line{text, std::move(std::get<std::vector<std::string>>(split))};
  if (line.words.empty()) return;
  try {
    if (!player.play_own_command(line) && !play_command(script_commands(), player, line)) {
      throw ScriptError("unknown command " + line.words.front());
    }
  } catch (const ScriptLineError&) {
    throw;  // a line of a dialog the command opened
  } catch (const ScriptError& error) {
    throw ScriptLineError(where + error.what());
  }
}

}  // namespace fp::headless
