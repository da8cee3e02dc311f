// EEPROM handlers: page order (high address first), refused blocks, reads at
// any offset, and the erase that is only a message.
#include <gtest/gtest.h>

#include "chips/attiny/attiny_handlers.h"
#include "tests/attiny/attiny_rig.h"
#include "tests/attiny/hvpp_tokens.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

using Tokens = std::vector<std::string>;

TEST(AttinyEepromWrite, FiveBytesAtZeroAreTwoPagesEachOpenedByItsHighAddress) {
  RecordingRig rig(EEPROM_ROW);
  const uint8_t bytes[] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4};
  EXPECT_EQ(attiny_eeprom_write(*rig.context, bytes, 0, 5), 0u);
  EXPECT_EQ(hvpp_tokens(hvpp_events(rig.recorder)),
            (Tokens{"enter", "cmd 11", "hi 00",  "lo 00", "dlo A0",   "pagel",
                    "lo 01", "dlo A1", "pagel",  "lo 02", "dlo A2",   "pagel",
                    "lo 03", "dlo A3", "pagel",  "wr",    "sleep 10",  //
                    "hi 00", "lo 04",  "dlo A4", "pagel", "wr",       "sleep 10"}));
}

TEST(AttinyEepromWrite, LandsOnTheChipLeavingTheOtherBytesAlone) {
  SimulatedAttiny rig(EEPROM_ROW);
  rig.eeprom() = pattern_image(0x80);
  const std::vector<uint8_t> before = rig.eeprom();
  const uint8_t bytes[] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
  const uint64_t start = rig.board.now_us();
  EXPECT_EQ(attiny_eeprom_write(*rig.context, bytes, 0x14, 7), 0u);
  RecordProperty("virtual_us", std::to_string(rig.board.now_us() - start));

  std::vector<uint8_t> expected = before;
  std::copy(std::begin(bytes), std::end(bytes), expected.begin() + 0x14);
  EXPECT_EQ(rig.eeprom(), expected);
  EXPECT_EQ(attiny_eeprom_verify(*rig.context, bytes, 0x14, 7), 0u);
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyEepromWrite, OffsetOffThePageIsRefusedWithBothMessagesAndNothingSent) {
  RecordingRig rig(EEPROM_ROW);
  const uint8_t bytes[4] = {};
  EXPECT_NE(attiny_eeprom_write(*rig.context, bytes, 2, 4), 0u);
  EXPECT_EQ(rig.view.window.boxes,
            (std::vector<ShownBox>{{text::BAD_EXTRA_PARAMETERS, text::PROGRAMMER, mb::ICON_ERROR},
                                   {text::ODD_BLOCK, std::nullopt, mb::ICON_ERROR}}));
  EXPECT_TRUE(rig.recorder.accesses().empty());
}

TEST(AttinyEepromRead, AcceptsAnOddOffsetAndLength) {
  SimulatedAttiny rig(EEPROM_ROW);
  rig.eeprom() = pattern_image(0x80, 5);
  std::vector<uint8_t> buffer(0x0B);
  EXPECT_EQ(attiny_eeprom_read(*rig.context, buffer.data(), 0x75, 0x0B), ReadResult::done);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), rig.eeprom().begin() + 0x75));
  EXPECT_TRUE(rig.view.window.boxes.empty());
  EXPECT_TRUE(rig.board.violations().empty());
}

}  // namespace
}  // namespace fp::test
