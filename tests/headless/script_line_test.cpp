#include "frontends/headless/script_line.h"

#include <gtest/gtest.h>

#include "frontends/headless/quoting.h"
#include "ui/message_box.h"

namespace fp::headless {
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

}  // namespace
}  // namespace fp::headless
