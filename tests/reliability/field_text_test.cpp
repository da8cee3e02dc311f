// Texts that reach the hexadecimal fields from outside a real edit control
// (a script, a paste through another frontend) may carry a zero byte; the
// field ends there, as its C string does.
#include <gtest/gtest.h>

#include <string_view>

#include "app/main_window.h"

namespace fp {
namespace {

using namespace std::string_view_literals;

TEST(FieldTextTest, AFieldEndsAtItsFirstZeroByte) {
  EXPECT_EQ(parse_extra_field("\0"sv), std::nullopt);
  EXPECT_EQ(parse_extra_field("\0"
                              "12"sv),
            std::nullopt);
  EXPECT_EQ(parse_extra_field("1F\0Zq"sv), 0x1Fu);
  EXPECT_EQ(parse_extra_field("ABCDEF\0"
                              "1"sv),
            0xABCDEFu);
  EXPECT_EQ(parse_extra_field("ABCDEF1\0"sv), std::nullopt);
}

}  // namespace
}  // namespace fp
