#include <gtest/gtest.h>

#include <sstream>

#include "ui/message_box.h"
#include "ui/script/script_line.h"
#include "ui/script/script_session.h"

namespace fp::script {
namespace {

using Words = std::vector<std::string>;

Words words_of(std::string_view line) {
  return std::get<Words>(split_script_line(line));
}

TEST(ScriptLine, SplitsWordsQuotesAndComments) {
  EXPECT_EQ(words_of("  click   1006 "), (Words{"click", "1006"}));
  EXPECT_EQ(words_of("text 1001 \"my file.bin\" # comment"),
            (Words{"text", "1001", "my file.bin"}));
  EXPECT_EQ(words_of("text 1010 \"\""), (Words{"text", "1010", ""}));
  EXPECT_EQ(words_of(R"(text 1 "say \"hi\"")"), (Words{"text", "1", "say \"hi\""}));
  EXPECT_EQ(words_of("# only a comment"), Words{});
  EXPECT_EQ(words_of("select \"ATTINY2313 - FLASH\""), (Words{"select", "ATTINY2313 - FLASH"}));
  EXPECT_TRUE(std::holds_alternative<LineError>(split_script_line("text 1 \"open")));
  EXPECT_TRUE(std::holds_alternative<LineError>(split_script_line("text 1 \"a\"b")));
}

TEST(ScriptOutput, FlagsAnswersAndQuoting) {
  EXPECT_EQ(flag_names(mb::OK), "MB_OK");
  EXPECT_EQ(flag_names(mb::ICON_ERROR), "MB_OK|MB_ICONERROR");
  EXPECT_EQ(flag_names(mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2),
            "MB_YESNO|MB_ICONWARNING|MB_DEFBUTTON2");
  EXPECT_EQ(answer_name(answer::NO), "IDNO");
  EXPECT_EQ(quoted(u"a\r\nb \"c\""), R"("a\r\nb \"c\"")");
}

std::string run(const std::vector<std::string>& lines) {
  std::ostringstream out;
  ScriptSession session(out, nullptr);
  session.run(lines);
  return out.str();
}

TEST(ScriptSession, ClickPrintAndDefaultAnswers) {
  EXPECT_EQ(run({"click 1021", "print 1007", "click 1007", "print 1016"}),
            "box \"Микросхема ПЗУ должна быть удалена!\\r\\nПродолжить?\" "
            "caption=\"Программатор\" flags=MB_YESNO|MB_ICONWARNING|MB_DEFBUTTON2 -> IDNO\n"
            "control 1007 \"Дополнительные параметры\" checked=0 visible=1 enabled=1\n"
            "control 1016 \"h - Длина блока\" checked=0 visible=1 enabled=1\n"
            "exit 0\n");
}

TEST(ScriptSession, UpperCaseFieldsTurnLettersAsTheRealEditDoes) {
  EXPECT_EQ(run({"text 1014 \"a1f ё\"", "print 1014", "text 1001 abc.bin", "print 1001"}),
            "control 1014 \"A1F Ё\" checked=0 visible=0 enabled=1\n"
            "control 1001 \"abc.bin\" checked=0 visible=1 enabled=1\n"
            "exit 0\n");
}

TEST(ScriptSession, ExitButtonEndsTheRunBeforeTheRestOfTheScript) {
  EXPECT_EQ(run({"click 2", "click 1021"}), "exit 0\n");
}

TEST(ScriptSession, ScriptErrorsNameTheLine) {
  for (const auto& [lines, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"frobnicate"}, "line 1: unknown command frobnicate"},
           {{"", "click 1041"}, "line 2: control 1041 is not in the top-most window"},
           {{"insert Z80"}, "line 1: unknown model Z80"},
           {{"fill main nowhere.bin"}, "line 1: the socket is empty"},
           {{"answer maybe"}, "line 1: answer takes yes, no, ok or cancel"},
           {{"select 12"}, "line 1: no catalogue row 12"},
           {{"text 1001"}, "line 1: text takes 2 argument(s)"},
       }) {
    std::ostringstream out;
    ScriptSession session(out, nullptr);
    try {
      session.run(lines);
      ADD_FAILURE() << "no error for " << lines.back();
    } catch (const ScriptError& error) {
      EXPECT_EQ(std::string(error.what()), message);
    }
  }
}

TEST(ScriptSession, TraceRecordsEveryPortAccessFromTheReset) {
  std::ostringstream out;
  std::ostringstream trace;
  ScriptSession session(out, &trace);
  session.run({});
  const std::string lines = trace.str();
  EXPECT_EQ(lines.substr(0, 44), "out 378 C0\nout 37A 02\nout 37A 03\nout 37A 02\n");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 16);
}

}  // namespace
}  // namespace fp::script
