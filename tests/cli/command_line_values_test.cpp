// What the command line reads before it touches a board: numbers in every
// spelling an operator uses, record files told from raw images by their
// content, and the exit status each window message stands for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/chip_slice.h"
#include "frontends/cli/checksum.h"
#include "frontends/cli/exit_status.h"
#include "frontends/cli/hex_number.h"
#include "frontends/cli/image_staging.h"
#include "frontends/cli/run_language.h"
#include "frontends/cli/run_log.h"
#include "frontends/cli/verify_detail.h"

namespace fp::cli {
namespace {

TEST(FreeHexNumbers, EverySpellingOfOneNumber) {
  for (const char* text :
       {"1c000", "1C000", "0x1c000", "0X1C000", "1C000h", "1c000H", "0x1C000h", "0001C000"}) {
    EXPECT_EQ(parse_free_hex(text), 0x1C000U) << text;
  }
  EXPECT_EQ(parse_free_hex("FFFFFFFF"), 0xFFFFFFFFU);
}

TEST(FreeHexNumbers, RefusesWhatIsNoNumberOrTooWide) {
  for (const char* text : {"", "h", "0x", "0xh", "123456789", "1G", "-1", "1 2", "0x0x1", "1hh"}) {
    EXPECT_FALSE(parse_free_hex(text).has_value()) << text;
  }
}

TEST(FreeHexNumbers, AByteIsTwoDigitsAtMostInEverySpelling) {
  for (const char* text : {"fc", "FC", "0xfc", "0XFC", "FCh", "0xFCh"}) {
    EXPECT_EQ(parse_byte(text), 0xFC) << text;
  }
  EXPECT_EQ(parse_byte("C"), 0x0C);
  EXPECT_EQ(parse_byte("0x0Ch"), 0x0C);
  for (const char* text : {"100", "0FC", "0x0DF", "00FCh", "000000E4", "0x", "h", "G0"}) {
    EXPECT_FALSE(parse_byte(text).has_value()) << text;
  }
}

TEST(FreeHexNumbers, CodesTwoDigitsEach) {
  EXPECT_EQ(two_digit_codes(u"1E-91-A"), u"1E 91 0A");
  EXPECT_EQ(two_digit_codes(u"1\r\nA7"), u"01 A7");
  EXPECT_EQ(two_digit_codes(u"3"), u"03");
  EXPECT_EQ(two_digit_codes(u""), u"");
}

std::vector<uint8_t> bytes_of(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(FormatByContent, RecordsWhateverTheLineEndsAndBlankLines) {
  EXPECT_EQ(format_by_content(bytes_of(":0100000001FE\r\n\r\n:00000001FF\r\n")),
            ImageFormat::intel_hex);
  EXPECT_EQ(format_by_content(bytes_of("  S00600004844521B\nS9030000FC")), ImageFormat::motorola);
}

TEST(FormatByContent, RawImagesAndMixturesAreNoRecords) {
  EXPECT_FALSE(format_by_content(bytes_of("")).has_value());
  // A binary image that happens to start with a colon.
  EXPECT_FALSE(format_by_content({':', 0x10, 0x00, 0xFF, '\n'}).has_value());
  EXPECT_FALSE(format_by_content(bytes_of(":0100000001FE\nS9030000FC\n")).has_value());
  EXPECT_FALSE(format_by_content(bytes_of(":0100000001FE\nnotes\n")).has_value());
  EXPECT_FALSE(format_by_content(bytes_of("Sx0300\n")).has_value());
}

TEST(SliceDifferences, FirstAddressBothBytesAndCountOfHeldBytesOnly) {
  ImageSlice slice{0x100, {1, 2, 3, 4}, {true, false, true, true}};
  const std::vector<uint8_t> chip{0xEE, 1, 9, 3, 0};  // read from 0xFF
  const auto difference = first_difference(slice, chip, 0xFF);
  ASSERT_TRUE(difference.has_value());
  EXPECT_EQ(difference->address, 0x103U);
  EXPECT_EQ(difference->wanted, 4);
  EXPECT_EQ(difference->found, 0);
  EXPECT_EQ(difference->count, 1U);
  EXPECT_EQ(difference_text(*difference),
            "first difference at 103h: file 04, chip 00; 1 byte of the slice differs");
  EXPECT_EQ(difference_text(*difference, false),
            "первое отличие по адресу 103h: в файле 04, в микросхеме 00; отличается байтов "
            "среза: 1");
  slice.bytes[3] = 0;
  EXPECT_FALSE(first_difference(slice, chip, 0xFF).has_value());
}

TEST(MessageMeanings, ErrorsFailUsageTextsRefuseValuesSucceed) {
  EXPECT_EQ(exit_status(message_kind(text::WRITE_ERROR, mb::ICON_ERROR)), EXIT_FAILURE_STATUS);
  // Shown with the information icon, yet the blank check failed.
  EXPECT_EQ(exit_status(message_kind(text::NOT_BLANK, mb::ICON_INFORMATION)), EXIT_FAILURE_STATUS);
  EXPECT_EQ(exit_status(message_kind(text::EEPROM_ERASE_REFUSED, mb::ICON_INFORMATION)),
            EXIT_USAGE_STATUS);
  EXPECT_EQ(message_kind(u"89\r\n94", mb::OK), MessageKind::result);
  EXPECT_EQ(message_kind(u"anything new", mb::ICON_ERROR), MessageKind::failure);
  EXPECT_EQ(message_kind(text::VPP_ON, mb::OK | mb::ICON_WARNING), MessageKind::hold);
}

}  // namespace
}  // namespace fp::cli

namespace fp::cli {
namespace {

TEST(RunLanguage, FirstLocaleVariableSetDecides) {
  const auto with = [](const char* all, const char* messages, const char* lang) {
    return language_from_locale([=](std::string_view name) -> const char* {
      return name == "LC_ALL" ? all : name == "LC_MESSAGES" ? messages : lang;
    });
  };
  EXPECT_EQ(with(nullptr, nullptr, "ru_RU.UTF-8"), Language::russian);
  EXPECT_EQ(with("", "", "ru"), Language::russian);
  EXPECT_EQ(with("C", "ru_RU.UTF-8", "ru_RU.UTF-8"), Language::english);
  EXPECT_EQ(with(nullptr, "ru_UA.UTF-8", "en_US.UTF-8"), Language::russian);
  EXPECT_EQ(with(nullptr, nullptr, nullptr), Language::english);
}

TEST(RunLanguage, LangArgumentAnywhereTheLastSoundOneCounts) {
  const auto from = [](std::vector<const char*> argv) {
    argv.insert(argv.begin(), "programmer");
    return language_from_arguments(static_cast<int>(argv.size()), argv.data());
  };
  EXPECT_EQ(from({"--lang", "en", "list"}), Language::english);
  EXPECT_EQ(from({"list", "--lang=ru"}), Language::russian);
  EXPECT_EQ(from({"list", "--lang", "en", "--lang", "de"}), Language::english);
  EXPECT_EQ(from({"read", "--", "--lang", "en"}), std::nullopt);
  EXPECT_EQ(from({"read", "--lang"}), std::nullopt);
}

}  // namespace
}  // namespace fp::cli

namespace fp::cli {
namespace {

TEST(Checksums, ZlibCrcAndSixteenBitSumInOneFormat) {
  const std::string digits = "123456789";
  const std::vector<uint8_t> check(digits.begin(), digits.end());
  EXPECT_EQ(checksum_text(checksum(check)), "crc32 CBF43926 sum16 01DD");
  EXPECT_EQ(checksum_text(checksum({})), "crc32 00000000 sum16 0000");
  // The sum wraps at 16 bits: 258 bytes of FF make 100FEh.
  EXPECT_EQ(checksum(std::vector<uint8_t>(258, 0xFF)).sum16, 0xFEU);
}

}  // namespace
}  // namespace fp::cli

namespace fp::cli {
namespace {

TEST(VerifyDetail, BitsToRaiseAndToClearCountedApartOnHeldBytesOnly) {
  ImageSlice slice;
  slice.start = 0x100;
  slice.bytes = {0xFF, 0x00, 0x0F, 0x5A, 0x33};
  slice.held = {true, true, true, true, false};
  const std::vector<uint8_t> chip{0x7F, 0x01, 0xF0, 0x5A, 0x00};
  const BitDirections bits = bit_directions(slice, chip);
  EXPECT_EQ(bits.to_raise, 2U);  // FF over 7F, 0F over F0
  EXPECT_EQ(bits.to_clear, 2U);  // 00 over 01, 0F over F0
  EXPECT_EQ(difference_lines(slice, chip), "00000100 FF 7F\n00000101 00 01\n00000102 0F F0\n");
}

TEST(RunLogLine, OneLineWithQuotedValuesAndDashesForWhatIsMissing) {
  RunLogLine line;
  line.time = 86400 + 3600 + 61;
  line.port = "sim,socket=empty";
  line.row = "ATTINY2313 - FLASH";
  line.operation = "write";
  line.file = "a \"b\"\n.bin";
  line.crc32 = 0xB11DE6A1;
  line.result = "failed";
  line.board_time_us = 1'234'567;
  line.exit_status = 1;
  EXPECT_EQ(run_log_text(line),
            "1970-01-02T01:01:01Z port=\"sim,socket=empty\" row=\"ATTINY2313 - FLASH\" id=- "
            "op=write file=\"a \\\"b\\\"\\x0A.bin\" crc32=B11DE6A1 result=failed "
            "board_time=1.235 exit=1\n");
}

}  // namespace
}  // namespace fp::cli
