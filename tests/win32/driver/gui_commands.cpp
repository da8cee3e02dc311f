#include "tests/win32/driver/gui_commands.h"

namespace fp::driver {
namespace {

using headless::CheckedLine;
using headless::choice;
using headless::CONTROL;
using headless::WORD;

constexpr std::string_view KEYS[] = {"escape", "enter"};
constexpr Key KEY_VALUES[] = {Key::escape, Key::enter};
constexpr std::string_view CLICK[] = {"click"};
constexpr std::string_view POSTED[] = {"click", "key"};

void post(GuiPlayer& player, const CheckedLine& line) {
  const std::string& what = line.word(1);
  if (line.choice == 0) {
    player.post_click(headless::control_argument(player, what));
  } else if (what == "enter" || what == "escape") {
    player.post_key(what == "enter" ? Key::enter : Key::escape);
  } else {
    throw headless::ScriptError("post takes click ID or key enter|escape");
  }
}

void second(GuiPlayer& player, const CheckedLine& line) {
  player.second_instance({line.line.words.begin() + 1, line.line.words.end()});
}

void cursor(GuiPlayer& player, const CheckedLine& line) {
  const std::vector<std::string>& words = line.line.words;
  if (words.size() == 1) {
    player.print_cursor();
  } else if (words.size() == 2 && words[1] == "boxes") {
    player.print_cursor_at_boxes();
  } else {
    throw headless::ScriptError("cursor takes nothing or boxes");
  }
}

constexpr headless::ScriptCommand<GuiPlayer> GUI_COMMANDS[] = {
    {"key",
     {choice(KEYS)},
     [](GuiPlayer& player, const CheckedLine& line) { player.press_key(KEY_VALUES[line.choice]); }},
    {"layout", {}, [](GuiPlayer& player, const CheckedLine&) { player.check_layout(); }},
    {"screenshot",
     {WORD},
     [](GuiPlayer& player, const CheckedLine& line) { player.save_screenshot(line.word(0)); }},
    {"hold",
     {WORD},
     [](GuiPlayer& player, const CheckedLine& line) { player.hold_file(line.word(0)); }},
    {"describe", {}, [](GuiPlayer& player, const CheckedLine&) { player.describe_window(); }},
    {"start",
     {choice(CLICK), CONTROL},
     [](GuiPlayer& player, const CheckedLine& line) { player.start_click(line.control); },
     "click and an ID"},
    {"post", {choice(POSTED), WORD}, post, "click ID or key NAME"},
    {"wait", {}, [](GuiPlayer& player, const CheckedLine&) { player.wait(); }},
    {"drop",
     {WORD},
     [](GuiPlayer& player, const CheckedLine& line) { player.drop_file(line.word(0)); }},
    {"about", {}, [](GuiPlayer& player, const CheckedLine&) { player.about(); }},
    {"second", {headless::REST}, second},
    {"cursor", {headless::REST}, cursor},
};

}  // namespace

std::span<const headless::ScriptCommand<GuiPlayer>> gui_commands() {
  return GUI_COMMANDS;
}

bool GuiPlayer::play_own_command(const headless::ScriptLine& line) {
  return headless::play_command(gui_commands(), *this, line);
}

}  // namespace fp::driver
