#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace fp {
namespace {

using namespace std::string_literals;

TEST(Utf8Test, IllFormedSequencesBecomeReplacementCharacters) {
  // An overlong '/' must never read as '/': it would name another folder.
  EXPECT_EQ(from_utf8("sub\xC0\xAFy"), u"sub\uFFFD\uFFFDy");
  EXPECT_EQ(from_utf8("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(from_utf8("\xF0\x80\x80\xAF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  // Surrogates and values past U+10FFFF.
  EXPECT_EQ(from_utf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(from_utf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  // Cut short, at the end and before an ASCII byte.
  EXPECT_EQ(from_utf8("a\xE2\x82"), u"a\uFFFD\uFFFD");
  EXPECT_EQ(from_utf8("\xE2\x82z"), u"\uFFFD\uFFFDz");
  EXPECT_EQ(from_utf8("x\xFF.bin"), u"x\uFFFD.bin");
}

TEST(Utf8Test, WellFormedTextRoundTrips) {
  const std::string text = "Ошибка \xE2\x82\xAC \xF0\x9F\x98\x80 \xEF\xBF\xBF";
  EXPECT_EQ(from_utf8(text), u"Ошибка € \U0001F600 \uFFFF");
  EXPECT_EQ(to_utf8(from_utf8(text)), text);
  EXPECT_EQ(to_utf8(u"a\xD800"s), "a\xEF\xBF\xBD");
}

TEST(Utf8Test, FileNamesKeepEveryByte) {
  for (const std::string& name : {"x\xFF.bin"s, "sub\xC0\xAFy.bin"s, "\xED\xA0\x80"s, "\xE2\x82"s,
                                  "Образ.bin"s, "a\0b"s, "\x80\xBF\xF8"s}) {
    const std::u16string path = path_from_bytes(name);
    EXPECT_EQ(path_to_bytes(path), name);
    // What is shown never passes for another, valid name.
    EXPECT_EQ(to_utf8(path).find('/'), name.find('/'));
  }
  EXPECT_EQ(path_from_bytes("Образ.bin"), u"Образ.bin");
  EXPECT_EQ(path_from_bytes("x\xFF"), u"x\xDCFF");
  EXPECT_EQ(to_utf8(path_from_bytes("x\xFF")), "x\xEF\xBF\xBD");
}

}  // namespace
}  // namespace fp
