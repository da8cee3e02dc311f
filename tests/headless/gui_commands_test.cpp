#include "tests/win32/driver/gui_commands.h"

#include <gtest/gtest.h>

#include "tests/headless/recording_player.h"

namespace fp::driver {
namespace {

using Calls = std::vector<std::string>;

class Player : public headless::RecordingPlayer<GuiPlayer> {
 public:
  void press_key(Key key) override { calls.push_back("key " + name(key)); }
  void check_layout() override { calls.emplace_back("layout"); }
  void save_screenshot(const std::string& path) override { calls.push_back("screenshot " + path); }
  void hold_file(const std::string& path) override { calls.push_back("hold " + path); }
  void describe_window() override { calls.emplace_back("describe"); }
  void start_click(int id) override { note("start click", id); }
  void post_click(int id) override { note("post click", id); }
  void post_key(Key key) override { calls.push_back("post key " + name(key)); }
  void wait() override { calls.emplace_back("wait"); }
  void drop_file(const std::string& path) override { calls.push_back("drop " + path); }
  void about() override { calls.emplace_back("about"); }
  void second_instance(const std::vector<std::string>& arguments) override {
    std::string call = "second";
    for (const std::string& word : arguments) call += " <" + word + ">";
    calls.push_back(call);
  }
  void print_cursor() override { calls.emplace_back("cursor"); }
  void print_cursor_at_boxes() override { calls.emplace_back("cursor at boxes"); }

 private:
  static std::string name(Key key) { return key == Key::enter ? "enter" : "escape"; }
};

constexpr auto* calls_of = &headless::recorded_calls<Player>;
constexpr auto* error_of = &headless::refusal<Player>;

TEST(GuiCommands, TheDriversOwnCommandsAndTheSharedOnesReachItsPlayer) {
  EXPECT_EQ(calls_of("key escape"), Calls{"key escape"});
  EXPECT_EQ(calls_of("key enter"), Calls{"key enter"});
  EXPECT_EQ(calls_of("layout"), Calls{"layout"});
  EXPECT_EQ(calls_of("screenshot \"main window.bmp\""), Calls{"screenshot main window.bmp"});
  EXPECT_EQ(calls_of("hold image.bin"), Calls{"hold image.bin"});
  EXPECT_EQ(calls_of("describe"), Calls{"describe"});
  EXPECT_EQ(calls_of("start click 1021"), Calls{"start click 1021"});
  EXPECT_EQ(calls_of("post click 1007"), Calls{"post click 1007"});
  EXPECT_EQ(calls_of("post key enter"), Calls{"post key enter"});
  EXPECT_EQ(calls_of("post key escape"), Calls{"post key escape"});
  EXPECT_EQ(calls_of("wait"), Calls{"wait"});
  EXPECT_EQ(calls_of("drop image.bin"), Calls{"drop image.bin"});
  EXPECT_EQ(calls_of("about"), Calls{"about"});
  EXPECT_EQ(calls_of("second"), Calls{"second"});
  EXPECT_EQ(calls_of("second /port D010"), Calls{"second </port> <D010>"});
  EXPECT_EQ(calls_of("cursor"), Calls{"cursor"});
  EXPECT_EQ(calls_of("cursor boxes"), Calls{"cursor at boxes"});
  // The shared table still serves the driver; "show" is the driver's to read.
  EXPECT_EQ(calls_of("click 1021"), Calls{"click 1021"});
  EXPECT_EQ(calls_of("filedialog show"), Calls{"filedialog <show>"});
  EXPECT_EQ(calls_of("timer stuck"), Calls{"board timer stuck"});
}

TEST(GuiCommands, BadLinesGetTheSameKindOfMessagesAsTheSharedCommands) {
  for (const auto& [line, message] : std::vector<std::pair<std::string, std::string>>{
           {"key", "line 7: key takes 1 argument(s)"},
           {"key tab", "line 7: key takes escape or enter"},
           {"layout now", "line 7: layout takes 0 argument(s)"},
           {"screenshot", "line 7: screenshot takes 1 argument(s)"},
           {"drop a b", "line 7: drop takes 1 argument(s)"},
           {"start 1021", "line 7: start takes click and an ID"},
           {"start clack 1021", "line 7: start takes click and an ID"},
           {"start click x", "line 7: bad control ID x"},
           {"start click 99", "line 7: control 99 is not in the top-most window"},
           {"post click", "line 7: post takes click ID or key NAME"},
           {"post press 1021", "line 7: post takes click ID or key NAME"},
           {"post key space", "line 7: post takes click ID or key enter|escape"},
           {"post click 70000", "line 7: bad control ID 70000"},
           {"post click 99", "line 7: control 99 is not in the top-most window"},
           {"cursor now", "line 7: cursor takes nothing or boxes"},
           {"cursor boxes too", "line 7: cursor takes nothing or boxes"},
           {"clicks 1021", "line 7: unknown command clicks"},
       }) {
    EXPECT_EQ(error_of(line), message) << line;
  }
}

TEST(GuiCommands, TableRowsAreUniqueFitTheCheckedLineAndShadowNoSharedCommand) {
  headless::expect_rows_fit_the_checked_line(gui_commands());
  for (const auto& own : gui_commands()) {
    for (const auto& shared : headless::script_commands()) {
      EXPECT_NE(own.name, shared.name);
    }
  }
}

}  // namespace
}  // namespace fp::driver
