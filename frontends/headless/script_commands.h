// The commands of an operator script, as one table both players use: each
// row names the command word, the kinds of its arguments, and what it asks of
// the player. A line is checked against its row here, so that both players
// refuse a bad line with the same message; a player only does what a checked
// line asks, programmer-script on its in-memory windows, the GUI test driver
// on the real ones.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontends/headless/sim_commands.h"

namespace fp::headless {

// A script error that names its line ("line 3: ...").
class ScriptLineError : public ScriptError {
 public:
  using ScriptError::ScriptError;
};

// A script line as written, and its words (the command word first).
struct ScriptLine {
  std::string_view text;
  std::vector<std::string> words;
};

// What the shared commands ask of a player. Control IDs name controls of the
// top-most window; the table has checked that they are there.
class ScriptPlayer {
 public:
  virtual ~ScriptPlayer() = default;

  [[nodiscard]] virtual bool has_control(int id) = 0;
  // The texts of the items of drop-down list id.
  [[nodiscard]] virtual std::vector<std::u16string> list_items(int id) = 0;
  // Selects item index of list id and sends the selection change.
  virtual void select(int id, size_t index) = 0;
  virtual void set_text(int id, std::u16string_view text) = 0;
  // A check box or radio button, without sending a command.
  virtual void set_checked(int id, bool checked) = 0;
  virtual void click(int id) = 0;
  // A close request to the top-most window.
  virtual void close() = 0;
  // The answer (answer::YES, ...) for the next message box.
  virtual void queue_answer(int answer) = 0;
  // The result of the next file-open dialog: a name, or none for cancel.
  virtual void queue_file_dialog(std::optional<std::u16string> name) = 0;
  virtual void print(int id) = 0;
  // insert, fill, dump, fuses, timer, fault: the simulated board checks and
  // plays them itself.
  virtual void board_command(const ScriptLine& line) = 0;

  // A command this player alone knows (the table of its own commands, see
  // play_command); false when it knows none of that name.
  virtual bool play_own_command(const ScriptLine& line);
};

enum class ArgumentKind : uint8_t {
  none,     // no argument in this place
  control,  // decimal ID of a control of the top-most window
  word,     // any word: a text, a path, a catalogue row
  choice,   // one of a few words
  rest,     // any number of words, checked by the handler
};

struct Argument {
  ArgumentKind kind = ArgumentKind::none;
  std::span<const std::string_view> choices = {};
};

inline constexpr size_t MAX_ARGUMENTS = 2;
inline constexpr Argument CONTROL{ArgumentKind::control};
inline constexpr Argument WORD{ArgumentKind::word};
inline constexpr Argument REST{ArgumentKind::rest};
constexpr Argument choice(std::span<const std::string_view> words) {
  return {ArgumentKind::choice, words};
}

// A line that matches its row.
struct CheckedLine {
  const ScriptLine& line;
  int control = 0;    // the control argument
  size_t choice = 0;  // which word of its list the choice argument is

  // Argument number index, from 0.
  [[nodiscard]] const std::string& word(size_t index) const { return line.words.at(index + 1); }
};

template <class Player>
struct ScriptCommand {
  std::string_view name;
  std::array<Argument, MAX_ARGUMENTS> arguments;
  void (*play)(Player& player, const CheckedLine& line);
  // What the command takes, for the messages of a bad line; empty: said from
  // the arguments ("2 argument(s)", "yes, no, ok or cancel").
  std::string_view usage = {};
};

// Checks the line against the arguments of its row: their number, the
// choices, the control (a number up to 0xFFFF, in the top-most window), in
// that order. Throws ScriptError.
CheckedLine check_arguments(std::string_view name, std::span<const Argument> arguments,
                            std::string_view usage, const ScriptLine& line, ScriptPlayer& player);

// The control ID a word names, in the top-most window. Throws ScriptError.
int control_argument(ScriptPlayer& player, const std::string& word);

// Plays the line by the row of its command word; false when the table has none.
template <class Player>
bool play_command(std::span<const ScriptCommand<Player>> table, Player& player,
                  const ScriptLine& line) {
  for (const ScriptCommand<Player>& row : table) {
    if (row.name != line.words.front()) continue;
    row.play(player, check_arguments(row.name, row.arguments, row.usage, line, player));
    return true;
  }
  return false;
}

// The commands every player knows.
std::span<const ScriptCommand<ScriptPlayer>> script_commands();

// Plays line number `number` of a script: the player's own commands first,
// then the shared ones. Blank and comment lines do nothing. Throws
// ScriptLineError.
void play_script_line(ScriptPlayer& player, std::string_view text, size_t number);

}  // namespace fp::headless
