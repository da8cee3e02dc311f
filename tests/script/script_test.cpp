#include <gtest/gtest.h>

#include <sstream>

#include "frontends/script/script_session.h"

namespace fp::script {
namespace {

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
           {{"select 999"}, "line 1: no catalogue row 999"},
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
