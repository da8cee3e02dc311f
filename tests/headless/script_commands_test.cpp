#include "frontends/headless/script_commands.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/headless/recording_player.h"

namespace fp::headless {
namespace {

using Player = RecordingPlayer<ScriptPlayer>;
using Calls = std::vector<std::string>;

constexpr auto* calls_of = &recorded_calls<Player>;
constexpr auto* error_of = &refusal<Player>;

TEST(ScriptCommands, EachCommandReachesThePlayerWithItsCheckedArguments) {
  EXPECT_EQ(calls_of("click 1007"), Calls{"click 1007"});
  EXPECT_EQ(calls_of("click 01021 # leading zeros"), Calls{"click 1021"});
  EXPECT_EQ(calls_of("text 1001 \"Привет, мир\""), Calls{"text 1001 Привет, мир"});
  EXPECT_EQ(calls_of("text 1001 \"\""), Calls{"text 1001"});
  EXPECT_EQ(calls_of("check 1007 on"), Calls{"check 1007 on"});
  EXPECT_EQ(calls_of("check 1007 off"), Calls{"check 1007 off"});
  EXPECT_EQ(calls_of("close"), Calls{"close"});
  EXPECT_EQ(calls_of("answer yes"), Calls{"answer 6"});
  EXPECT_EQ(calls_of("answer no"), Calls{"answer 7"});
  EXPECT_EQ(calls_of("answer ok"), Calls{"answer 1"});
  EXPECT_EQ(calls_of("answer cancel"), Calls{"answer 2"});
  EXPECT_EQ(calls_of("filedialog cancel"), Calls{"filedialog none"});
  EXPECT_EQ(calls_of("filedialog \"my file.bin\""), Calls{"filedialog <my file.bin>"});
  EXPECT_EQ(calls_of("print 1018"), Calls{"print 1018"});
  EXPECT_EQ(calls_of("   # a comment"), Calls{});
  EXPECT_EQ(calls_of(""), Calls{});
}

TEST(ScriptCommands, SelectFindsARowByNumberOrByTheLastEqualText) {
  EXPECT_EQ(calls_of("select 1"), Calls{"select 1018 1"});
  EXPECT_EQ(calls_of("select 0"), Calls{"select 1018 0"});
  EXPECT_EQ(calls_of("select AT49F512"), Calls{"select 1018 1"});
  EXPECT_EQ(calls_of("select \"AT29C010A\""), Calls{"select 1018 2"});
  EXPECT_EQ(error_of("select 3"), "line 7: no catalogue row 3");
  EXPECT_EQ(error_of("select at49f512"), "line 7: no catalogue row at49f512");
  EXPECT_EQ(error_of("select"), "line 7: select takes 1 argument(s)");

  Player dialog;
  dialog.controls = {1, 2};
  EXPECT_THROW(play_script_line(dialog, "select 0", 1), ScriptLineError);
  try {
    play_script_line(dialog, "select 0", 1);
  } catch (const ScriptError& error) {
    EXPECT_STREQ(error.what(), "line 1: the chip list is not in the top-most window");
  }
}

TEST(ScriptCommands, BoardCommandsPassAsWrittenForTheBoardToCheck) {
  EXPECT_EQ(calls_of("insert AT29C010A"), Calls{"board insert AT29C010A"});
  EXPECT_EQ(calls_of("fault stuck 10 FF  # comment"), Calls{"board fault stuck 10 FF  # comment"});
  EXPECT_EQ(calls_of("fuses"), Calls{"board fuses"});
  EXPECT_EQ(calls_of("fill main \"a b.bin\" extra"), Calls{"board fill main \"a b.bin\" extra"});
  std::set<std::string_view> board_rows;
  for (const auto& row : script_commands()) {
    const bool board = row.arguments[0].kind == ArgumentKind::rest;
    EXPECT_EQ(board, is_sim_command(std::string(row.name))) << row.name;
    if (board) board_rows.insert(row.name);
  }
  EXPECT_EQ(board_rows,
            (std::set<std::string_view>{"insert", "fill", "dump", "fuses", "timer", "fault"}));
}

TEST(ScriptCommands, BadLinesAreRefusedWithOneMessageBeforeAnythingIsDone) {
  for (const auto& [line, message] : std::vector<std::pair<std::string, std::string>>{
           {"frobnicate 1", "line 7: unknown command frobnicate"},
           {"Click 1007", "line 7: unknown command Click"},
           {"key escape", "line 7: unknown command key"},
           {"click", "line 7: click takes 1 argument(s)"},
           {"click 1007 1021", "line 7: click takes 1 argument(s)"},
           {"close now", "line 7: close takes 0 argument(s)"},
           {"text 1001", "line 7: text takes 2 argument(s)"},
           {"check 1007", "line 7: check takes 2 argument(s)"},
           {"answer", "line 7: answer takes 1 argument(s)"},
           {"filedialog a b", "line 7: filedialog takes 1 argument(s)"},
           {"click x", "line 7: bad control ID x"},
           {"click -1", "line 7: bad control ID -1"},
           {"click +1007", "line 7: bad control ID +1007"},
           {"click 0x3EF", "line 7: bad control ID 0x3EF"},
           {"click \"\"", "line 7: bad control ID "},
           {"click 65536", "line 7: bad control ID 65536"},
           {"click 18446744073709551617", "line 7: bad control ID 18446744073709551617"},
           {"click 65535", "line 7: control 65535 is not in the top-most window"},
           {"print 0001041", "line 7: control 0001041 is not in the top-most window"},
           {"text 9 abc", "line 7: control 9 is not in the top-most window"},
           {"check 1007 yes", "line 7: check takes on or off"},
           // The words are checked before the control.
           {"check x maybe", "line 7: check takes on or off"},
           {"check x on", "line 7: bad control ID x"},
           {"answer maybe", "line 7: answer takes yes, no, ok or cancel"},
           {"answer YES", "line 7: answer takes yes, no, ok or cancel"},
           {"text 1001 \"open", "line 7: unterminated quoted text"},
       }) {
    EXPECT_EQ(error_of(line), message) << line;
  }
}

// A player whose click opens a dialog that plays the next lines itself, as
// programmer-script's modal dialogs do.
class DialogPlayer : public Player {
 public:
  void click(int id) override {
    Player::click(id);
    play_script_line(*this, "print 1007", 2);
    play_script_line(*this, "print 99", 3);
  }
};

TEST(ScriptCommands, AnErrorInsideADialogNamesItsOwnLineOnce) {
  DialogPlayer player;
  try {
    play_script_line(player, "click 1021", 1);
    ADD_FAILURE() << "no error";
  } catch (const ScriptLineError& error) {
    EXPECT_STREQ(error.what(), "line 3: control 99 is not in the top-most window");
  }
  EXPECT_EQ(player.calls, (Calls{"click 1021", "print 1007"}));
}

TEST(ScriptCommands, TableRowsAreUniqueAndFitTheCheckedLine) {
  expect_rows_fit_the_checked_line(script_commands());
}

}  // namespace
}  // namespace fp::headless
