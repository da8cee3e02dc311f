// A script player that writes down what the command table asks of it, one
// line a call, over a window holding a few controls and a short chip list.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <vector>

#include "frontends/headless/script_commands.h"
#include "platform/utf8.h"

namespace fp::headless {

template <class Player>
class RecordingPlayer : public Player {
 public:
  std::vector<std::string> calls;
  std::set<int> controls{1001, 1007, 1018, 1021};
  std::vector<std::u16string> rows{u"AT29C010A", u"AT49F512", u"AT29C010A"};

  bool has_control(int id) override { return controls.count(id) != 0; }
  std::vector<std::u16string> list_items(int) override { return rows; }
  void select(int id, size_t index) override { note("select", id, std::to_string(index)); }
  void set_text(int id, std::u16string_view text) override { note("text", id, to_utf8(text)); }
  void set_checked(int id, bool checked) override { note("check", id, checked ? "on" : "off"); }
  void click(int id) override { note("click", id); }
  void close() override { calls.emplace_back("close"); }
  void queue_answer(int answer) override { calls.push_back("answer " + std::to_string(answer)); }
  void queue_file_dialog(std::optional<std::u16string> name) override {
    calls.push_back("filedialog " + (name ? '<' + to_utf8(*name) + '>' : std::string("none")));
  }
  void print(int id) override { note("print", id); }
  void board_command(const ScriptLine& line) override {
    calls.push_back("board " + std::string(line.text));
  }

 protected:
  void note(const std::string& what, int id, const std::string& detail = {}) {
    calls.push_back(what + ' ' + std::to_string(id) + (detail.empty() ? "" : ' ' + detail));
  }
};

// What the player was asked to do for one line.
template <class Player>
std::vector<std::string> recorded_calls(std::string_view line) {
  Player player;
  play_script_line(player, line, 1);
  return player.calls;
}

// The message a line is refused with, as line 7; no call reaches the player.
template <class Player>
std::string refusal(std::string_view line) {
  Player player;
  try {
    play_script_line(player, line, 7);
  } catch (const ScriptLineError& error) {
    EXPECT_EQ(player.calls, std::vector<std::string>{}) << line;
    return error.what();
  }
  return "no error";
}

// A row's handler gets one control and one choice: no row may have more.
template <class Player>
void expect_rows_fit_the_checked_line(std::span<const ScriptCommand<Player>> table) {
  std::set<std::string_view> names;
  for (const auto& row : table) {
    EXPECT_TRUE(names.insert(row.name).second) << row.name;
    int controls = 0;
    int choices = 0;
    for (const Argument& argument : row.arguments) {
      controls += argument.kind == ArgumentKind::control;
      choices += argument.kind == ArgumentKind::choice;
      EXPECT_TRUE(argument.kind != ArgumentKind::choice || !argument.choices.empty()) << row.name;
    }
    EXPECT_LE(controls, 1) << row.name;
    EXPECT_LE(choices, 1) << row.name;
  }
}

}  // namespace fp::headless
