// JSON strings for scripts: what a parser would choke on is escaped.
#include "frontends/cli/json_text.h"

#include <gtest/gtest.h>

namespace fp::cli {
namespace {

TEST(JsonText, QuotesBackslashesAndControlCharactersAreEscaped) {
  EXPECT_EQ(json_string("AT29C010A"), "\"AT29C010A\"");
  EXPECT_EQ(json_string("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(json_string("line\nnext\ttab\r"), "\"line\\nnext\\ttab\\r\"");
  EXPECT_EQ(json_string(std::string_view("\x01\x1F", 2)), "\"\\u0001\\u001F\"");
  EXPECT_EQ(json_string(std::string_view("\0", 1)), "\"\\u0000\"");
  // UTF-8 passes unchanged.
  EXPECT_EQ(json_string("микросхема"), "\"микросхема\"");
}

TEST(JsonText, ListsOfStrings) {
  EXPECT_EQ(json_strings({}), "[]");
  EXPECT_EQ(json_strings({"a", "b\""}), "[\"a\", \"b\\\"\"]");
}

}  // namespace
}  // namespace fp::cli
