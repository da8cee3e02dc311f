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

// An odd offset, an odd length, and both: two odd numbers add up to an even end.
constexpr std::pair<uint32_t, uint32_t> ODD_SLICES[] = {{1, 0x10}, {0, 0x11}, {1, 0x11}};

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
  RecordingRig rig(FLASH_ROW);
  std::vector<uint8_t> buffer(0x800);
  EXPECT_EQ(attiny_flash_read(*rig.context, buffer.data(), 0, 0x800), ReadResult::done);

  const Tokens tokens = hvpp_tokens(hvpp_events(rig.recorder));
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
  EXPECT_EQ(attiny_flash_read(*rig.context, buffer.data(), 0x1F0, 0x100), ReadResult::done);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), rig.flash().begin() + 0x1F0));
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyFlashRead, OddOffsetOrLengthIsRefusedWithTheBufferAndChipUntouched) {
  for (const auto& [offset, length] : ODD_SLICES) {
    RecordingRig rig(FLASH_ROW);
    std::vector<uint8_t> buffer(0x20, 0xAB);
    EXPECT_EQ(attiny_flash_read(*rig.context, buffer.data(), offset, length), ReadResult::refused);
    EXPECT_EQ(buffer, std::vector<uint8_t>(0x20, 0xAB));
    EXPECT_EQ(rig.view.window.boxes, std::vector<ShownBox>{ODD_BOX});
    EXPECT_TRUE(rig.recorder.accesses().empty());
  }
}

TEST(AttinyFlashVerify, StopsAtTheLowByteOfTheFirstDifferingWord) {
  SimulatedAttiny rig;
  rig.flash() = pattern_image(0x800);
  std::vector<uint8_t> buffer = rig.flash();
  EXPECT_EQ(attiny_flash_verify(*rig.context, buffer.data(), 0, 0x800), 0u);

  buffer[10] ^= 0x01;  // word 5, low byte
  rig.recorder.clear();
  EXPECT_NE(attiny_flash_verify(*rig.context, buffer.data(), 0, 0x800), 0u);
  const Tokens tokens = hvpp_tokens(hvpp_events(rig.recorder));
  EXPECT_EQ(count_tokens(tokens, "read 00"), 6u);
  EXPECT_EQ(count_tokens(tokens, "read 04"), 5u);
  EXPECT_EQ(tokens.back(), "read 00");
}

TEST(AttinyFlashVerify, OddOffsetOrLengthIsRefusedWithoutTouchingTheChip) {
  for (const auto& [offset, length] : ODD_SLICES) {
    SCOPED_TRACE(std::to_string(offset) + " " + std::to_string(length));
    RecordingRig rig(FLASH_ROW);
    const std::vector<uint8_t> image(0x20, 0xFF);
    EXPECT_NE(attiny_flash_verify(*rig.context, image.data(), offset, length), 0u);
    EXPECT_EQ(rig.view.window.boxes, std::vector<ShownBox>{ODD_BOX});
    EXPECT_TRUE(rig.recorder.accesses().empty());
  }
}

TEST(AttinyFlashWrite, LoadsEachWordsLowAddressFirstAndThePageHighAddressLast) {
  RecordingRig rig(FLASH_ROW);
  const std::vector<uint8_t> image = pattern_image(0x20);
  EXPECT_EQ(attiny_flash_write(*rig.context, image.data(), 0x220, 0x20), 0u);

  Tokens expected{"enter", "cmd 10"};
  for (uint32_t i = 0; i < 16; ++i) {
    expected.push_back(hex_token("lo", 0x10 + i));  // word 0x110 + i
    expected.push_back(hex_token("dlo", image[2 * i]));
    expected.push_back(hex_token("dhi", image[2 * i + 1]));
  }
  expected.insert(expected.end(), {"hi 01", "wr", "sleep 10"});
  EXPECT_EQ(hvpp_tokens(hvpp_events(rig.recorder)), expected);
  EXPECT_TRUE(rig.view.window.boxes.empty());
}

TEST(AttinyFlashWrite, ShortBlockProgramsOnePageWithTheWordsLoaded) {
  RecordingRig rig(FLASH_ROW);
  const uint8_t word[] = {0x34, 0x12};
  EXPECT_EQ(attiny_flash_write(*rig.context, word, 0, 2), 0u);
  EXPECT_EQ(hvpp_tokens(hvpp_events(rig.recorder)),
            (Tokens{"enter", "cmd 10", "lo 00", "dlo 34", "dhi 12", "hi 00", "wr", "sleep 10"}));
}

TEST(AttinyFlashWrite, OddOffsetOrLengthIsRefusedWithoutTouchingTheChip) {
  for (const auto& [offset, length] : ODD_SLICES) {
    SCOPED_TRACE(std::to_string(offset) + " " + std::to_string(length));
    SimulatedAttiny rig;
    const std::vector<uint8_t> before = rig.flash();
    const std::vector<uint8_t> image(0x20, 0x00);
    EXPECT_NE(attiny_flash_write(*rig.context, image.data(), offset, length), 0u);
    EXPECT_EQ(rig.view.window.boxes, std::vector<ShownBox>{ODD_BOX});
    EXPECT_TRUE(rig.recorder.accesses().empty());
    EXPECT_EQ(rig.flash(), before);
  }
}

TEST(AttinyFlashWrite, RefusalStaysAFailureWhenTheBoxCannotBeShown) {
  RecordingRig rig(FLASH_ROW);
  rig.view.window.answers = {0, 0};  // MessageBox failed
  const std::vector<uint8_t> image(0x20);
  EXPECT_NE(attiny_flash_write(*rig.context, image.data(), 1, 0x20), 0u);
  EXPECT_NE(attiny_flash_write(*rig.context, image.data(), 0x10, 0x20), 0u);
}

TEST(AttinyFlashBlankCheck, CoversTheWholeChipAndSkipsTheHighByteAfterAFailingLowByte) {
  SimulatedAttiny rig;
  rig.context->rom_offset = 0x100;  // the extra parameters play no part
  rig.context->block_length = 2;
  attiny_flash_blank_check(*rig.context);
  EXPECT_EQ(count_tokens(hvpp_tokens(hvpp_events(rig.recorder)), "read 04"), 0x400u);

  rig.flash()[0] = 0x00;
  rig.recorder.clear();
  attiny_flash_blank_check(*rig.context);
  const Tokens tokens = hvpp_tokens(hvpp_events(rig.recorder));
  EXPECT_EQ(count_tokens(tokens, "read 00"), 1u);
  EXPECT_EQ(count_tokens(tokens, "read 04"), 0u);
}

TEST(AttinyFlashErase, PulsesChipEraseAndReportsInTheStatusBarOnly) {
  RecordingRig rig(FLASH_ROW);
  attiny_flash_erase(*rig.context);
  EXPECT_EQ(hvpp_tokens(hvpp_events(rig.recorder)),
            (Tokens{"enter", "cmd 80", "idle", "wr", "sleep 20"}));
  EXPECT_EQ(rig.view.status_texts, std::vector<std::u16string>{text::ERASE_DONE});
  EXPECT_TRUE(rig.view.window.boxes.empty());
}

}  // namespace
}  // namespace fp::test
