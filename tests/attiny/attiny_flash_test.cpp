// Flash handlers: the address walk, page loading, refused blocks, and what
// the simulated chip holds afterwards.
#include <gtest/gtest.h>

#include "chips/attiny/attiny_handlers.h"
#include "tests/attiny/attiny_rig.h"
#include "tests/attiny/hvpp_tokens.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

using Tokens = std::vector<std::string>;

const ShownBox ODD_BOX{text::ODD_BLOCK, std::nullopt, mb::ICON_ERROR};
const ShownBox UNALIGNED_BOX{text::BAD_EXTRA_PARAMETERS, text::PROGRAMMER, mb::ICON_ERROR};

std::string hex_token(const char* name, uint32_t value) {
  char token[16];
  std::snprintf(token, sizeof token, "%s %02X", name, value);
  return token;
}

// The address loads of a token list, without the reads between them.
Tokens address_loads(const Tokens& tokens) {
  Tokens loads;
  for (const auto& token : tokens) {
    if (token.rfind("lo ", 0) == 0 || token.rfind("hi ", 0) == 0) loads.push_back(token);
  }
  return loads;
}

TEST(AttinyFlashRead, WholeChipReloadsTheHighAddressAtEveryWrapOfTheLowByte) {
  RecordedAttiny rig;
  std::vector<uint8_t> buffer(0x800);
  EXPECT_EQ(attiny_flash_read(rig.context, buffer.data(), 0, 0x800), ReadResult::done);

  const Tokens tokens = hvpp_tokens(rig.log.events);
  ASSERT_GE(tokens.size(), 2u);
  EXPECT_EQ(tokens[0], "enter");
  EXPECT_EQ(tokens[1], "cmd 02");
  Tokens expected{"hi 00"};
  for (uint32_t word = 0; word < 0x400; ++word) {
    if (word != 0 && word % 0x100 == 0) expected.push_back(hex_token("hi", word >> 8));
    expected.push_back(hex_token("lo", word & 0xFF));
  }
  EXPECT_EQ(address_loads(tokens), expected);
  EXPECT_EQ(count_tokens(tokens, "read 00"), 0x400u);
  EXPECT_EQ(count_tokens(tokens, "read 04"), 0x400u);
}

TEST(AttinyFlashRead, ReturnsTheChipsWordsLowByteFirst) {
  SimulatedAttiny rig;
  rig.flash() = pattern_image(0x800, 3);
  std::vector<uint8_t> buffer(0x100, 0xEE);
  EXPECT_EQ(attiny_flash_read(rig.context, buffer.data(), 0x1F0, 0x100), ReadResult::done);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), rig.flash().begin() + 0x1F0));
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyFlashRead, OddOffsetOrLengthIsRefusedWithTheBufferAndChipUntouched) {
  for (const auto& [offset, length] : {std::pair{1u, 0x10u}, std::pair{0u, 0x11u}}) {
    RecordedAttiny rig;
    std::vector<uint8_t> buffer(0x20, 0xAB);
    EXPECT_EQ(attiny_flash_read(rig.context, buffer.data(), offset, length), ReadResult::refused);
    EXPECT_EQ(buffer, std::vector<uint8_t>(0x20, 0xAB));
    EXPECT_EQ(rig.view.window.boxes, std::vector<ShownBox>{ODD_BOX});
    EXPECT_TRUE(rig.log.events.empty());
  }
}

TEST(AttinyFlashVerify, OddBlockFailsWithTheOneMessage) {
  RecordedAttiny rig;
  const std::vector<uint8_t> buffer(0x10);
  EXPECT_NE(attiny_flash_verify(rig.context, buffer.data(), 3, 0x10), 0u);
  EXPECT_EQ(rig.view.window.boxes, std::vector<ShownBox>{ODD_BOX});
  EXPECT_TRUE(rig.log.events.empty());
}

TEST(AttinyFlashVerify, StopsAtTheLowByteOfTheFirstDifferingWord) {
  SimulatedAttiny rig;
  rig.flash() = pattern_image(0x800);
  std::vector<uint8_t> buffer = rig.flash();
  EXPECT_EQ(attiny_flash_verify(rig.context, buffer.data(), 0, 0x800), 0u);

  buffer[10] ^= 0x01;  // word 5, low byte
  rig.log.events.clear();
  EXPECT_NE(attiny_flash_verify(rig.context, buffer.data(), 0, 0x800), 0u);
  const Tokens tokens = hvpp_tokens(rig.log.events);
  EXPECT_EQ(count_tokens(tokens, "read 00"), 6u);
  EXPECT_EQ(count_tokens(tokens, "read 04"), 5u);
  EXPECT_EQ(tokens.back(), "read 00");
}

TEST(AttinyFlashVerify, HighByteDifferenceFails) {
  SimulatedAttiny rig;
  rig.flash() = pattern_image(0x800);
  std::vector<uint8_t> buffer(rig.flash().begin() + 0x40, rig.flash().begin() + 0x80);
  buffer.back() ^= 0x80;
  EXPECT_NE(attiny_flash_verify(rig.context, buffer.data(), 0x40, 0x40), 0u);
}

TEST(AttinyFlashWrite, LoadsEachWordsLowAddressFirstAndThePageHighAddressLast) {
  RecordedAttiny rig;
  const std::vector<uint8_t> image = pattern_image(0x20);
  EXPECT_EQ(attiny_flash_write(rig.context, image.data(), 0x220, 0x20), 0u);

  Tokens expected{"enter", "cmd 10"};
  for (uint32_t i = 0; i < 16; ++i) {
    expected.push_back(hex_token("lo", 0x10 + i));  // word 0x110 + i
    expected.push_back(hex_token("dlo", image[2 * i]));
    expected.push_back(hex_token("dhi", image[2 * i + 1]));
  }
  expected.insert(expected.end(), {"hi 01", "wr", "sleep 10"});
  EXPECT_EQ(hvpp_tokens(rig.log.events), expected);
  EXPECT_TRUE(rig.view.window.boxes.empty());
}

TEST(AttinyFlashWrite, ShortBlockProgramsOnePageWithTheWordsLoaded) {
  RecordedAttiny rig;
  const uint8_t word[] = {0x34, 0x12};
  EXPECT_EQ(attiny_flash_write(rig.context, word, 0, 2), 0u);
  EXPECT_EQ(hvpp_tokens(rig.log.events),
            (Tokens{"enter", "cmd 10", "lo 00", "dlo 34", "dhi 12", "hi 00", "wr", "sleep 10"}));
}

TEST(AttinyFlashWrite, OffsetOffThePageIsRefusedWithBothMessagesAndNothingSent) {
  RecordedAttiny rig;
  const std::vector<uint8_t> image(0x20);
  EXPECT_NE(attiny_flash_write(rig.context, image.data(), 0x10, 0x20), 0u);
  EXPECT_EQ(rig.view.window.boxes, (std::vector<ShownBox>{UNALIGNED_BOX, ODD_BOX}));
  EXPECT_TRUE(rig.log.events.empty());
}

TEST(AttinyFlashWrite, OddOffsetOrLengthIsRefusedWithOneMessage) {
  for (const auto& [offset, length] : {std::pair{0x21u, 0x10u}, std::pair{0x20u, 0x11u}}) {
    RecordedAttiny rig;
    const std::vector<uint8_t> image(0x20);
    EXPECT_NE(attiny_flash_write(rig.context, image.data(), offset, length), 0u);
    EXPECT_EQ(rig.view.window.boxes, std::vector<ShownBox>{ODD_BOX});
    EXPECT_TRUE(rig.log.events.empty());
  }
}

TEST(AttinyFlashWrite, RefusalStaysAFailureWhenTheBoxCannotBeShown) {
  RecordedAttiny rig;
  rig.view.window.answers = {0, 0};  // MessageBox failed
  const std::vector<uint8_t> image(0x20);
  EXPECT_NE(attiny_flash_write(rig.context, image.data(), 1, 0x20), 0u);
  EXPECT_NE(attiny_flash_write(rig.context, image.data(), 0x10, 0x20), 0u);
}

TEST(AttinyFlashWrite, WholeChipLandsOnTheChipAndVerifies) {
  SimulatedAttiny rig;
  const std::vector<uint8_t> image = pattern_image(0x800, 9);
  const uint64_t start = rig.board.now_us();
  EXPECT_EQ(attiny_flash_write(rig.context, image.data(), 0, 0x800), 0u);
  EXPECT_EQ(attiny_flash_verify(rig.context, image.data(), 0, 0x800), 0u);
  const uint64_t elapsed = rig.board.now_us() - start;

  EXPECT_EQ(rig.flash(), image);
  EXPECT_TRUE(rig.board.violations().empty());
  // One 10 ms wait per 16-word page, two 1 ms waits per entry into the mode.
  EXPECT_EQ(rig.log.only("sleep 10").size(), 64u);
  EXPECT_LT(elapsed, 1'000'000u);
  RecordProperty("virtual_us", std::to_string(elapsed));
}

TEST(AttinyFlashWrite, PartialLastPageChangesOnlyTheWordsOfTheBlock) {
  SimulatedAttiny rig;
  const std::vector<uint8_t> image = pattern_image(0x26, 1);
  EXPECT_EQ(attiny_flash_write(rig.context, image.data(), 0x40, 0x26), 0u);
  std::vector<uint8_t> expected(0x800, 0xFF);
  std::copy(image.begin(), image.end(), expected.begin() + 0x40);
  EXPECT_EQ(rig.flash(), expected);
  EXPECT_EQ(rig.log.only("sleep 10").size(), 2u);
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyFlashBlankCheck, ReportsErasedAndNotErasedWithTheirCaptionsAndIcons) {
  SimulatedAttiny rig;
  attiny_flash_blank_check(rig.context);
  rig.flash()[0x7FF] = 0xFE;  // only the high byte of the last word
  attiny_flash_blank_check(rig.context);
  EXPECT_EQ(rig.view.window.boxes,
            (std::vector<ShownBox>{{text::BLANK, text::PROGRAMMER, mb::OK},
                                   {text::NOT_BLANK, text::PROGRAMMER, mb::ICON_INFORMATION}}));
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyFlashBlankCheck, CoversTheWholeChipAndSkipsTheHighByteAfterAFailingLowByte) {
  SimulatedAttiny rig;
  rig.context.rom_offset = 0x100;  // the extra parameters play no part
  rig.context.block_length = 2;
  attiny_flash_blank_check(rig.context);
  EXPECT_EQ(count_tokens(hvpp_tokens(rig.log.events), "read 04"), 0x400u);

  rig.flash()[0] = 0x00;
  rig.log.events.clear();
  attiny_flash_blank_check(rig.context);
  const Tokens tokens = hvpp_tokens(rig.log.events);
  EXPECT_EQ(count_tokens(tokens, "read 00"), 1u);
  EXPECT_EQ(count_tokens(tokens, "read 04"), 0u);
}

TEST(AttinyFlashErase, PulsesChipEraseAndReportsInTheStatusBarOnly) {
  RecordedAttiny rig;
  attiny_flash_erase(rig.context);
  EXPECT_EQ(hvpp_tokens(rig.log.events), (Tokens{"enter", "cmd 80", "idle", "wr", "sleep 20"}));
  EXPECT_EQ(rig.view.status_texts, std::vector<std::u16string>{text::ERASE_DONE});
  EXPECT_TRUE(rig.view.window.boxes.empty());
}

TEST(AttinyFlashErase, ErasesFlashEepromAndLockBitsOfTheChip) {
  SimulatedAttiny rig;
  rig.flash() = pattern_image(0x800);
  rig.eeprom() = pattern_image(0x80);
  rig.chip->set_fuses({0x64, 0xDF, 0xFF, 0xFC});
  attiny_flash_erase(rig.context);
  EXPECT_EQ(rig.flash(), std::vector<uint8_t>(0x800, 0xFF));
  EXPECT_EQ(rig.eeprom(), std::vector<uint8_t>(0x80, 0xFF));
  EXPECT_EQ(rig.chip->fuses()->lock, 0xFF);
  EXPECT_TRUE(rig.board.violations().empty());
}

}  // namespace
}  // namespace fp::test
