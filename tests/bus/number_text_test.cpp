#include "bus/number_text.h"

#include <gtest/gtest.h>

namespace fp {
namespace {

TEST(NumberText, HexIsUpperCaseWithoutLeadingZerosAndWritesNothingAfter) {
  EXPECT_EQ(hex_text(0), u"0");
  EXPECT_EQ(hex_text(0x7FFFF), u"7FFFF");
  EXPECT_EQ(hex_text(0xFFFFFFFF), u"FFFFFFFF");
  EXPECT_EQ(hex_text(0xABC), u"ABC");
  char16_t text[12];
  std::fill(std::begin(text), std::end(text), u'#');
  char16_t* end = format_hex(0x1F, text);
  EXPECT_EQ(end, text + 2);
  EXPECT_EQ(text[2], u'#');
}

TEST(NumberText, Decimal) {
  EXPECT_EQ(decimal_text(0), u"0");
  EXPECT_EQ(decimal_text(99998), u"99998");
  EXPECT_EQ(decimal_text(4294967295u), u"4294967295");
}

TEST(NumberText, ParseHexAcceptsOnlyDigitsAndUpperCaseLetters) {
  EXPECT_EQ(parse_hex("1F"), 0x1Fu);
  EXPECT_EQ(parse_hex(""), 0u);
  EXPECT_EQ(parse_hex("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(parse_hex("123456789"), 0x23456789u);  // older digits drop out
  for (const char* bad : {"1f", "0x10", " 1", "1 ", "-1", "G"}) {
    EXPECT_FALSE(parse_hex(bad).has_value()) << bad;
  }
  EXPECT_EQ(parse_hex(std::string_view("12\0AB", 5)), 0x12u);  // stops at the terminator
}

}  // namespace
}  // namespace fp
