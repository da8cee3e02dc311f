// The simulated ATtiny2313: what it refuses, its timing, its lock modes and
// its faults.
#include "sim/attiny/attiny_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chips/attiny/attiny_bus.h"
#include "chips/attiny/attiny_handlers.h"
#include "tests/attiny/attiny_rig.h"

namespace fp::test {
namespace {

using testing::HasSubstr;

void expect_one_violation(SimulatedAttiny& rig, const std::string& part) {
  ASSERT_EQ(rig.board.violations().size(), 1u);
  EXPECT_THAT(rig.board.violations()[0], HasSubstr(part));
}

uint8_t read_signature_byte(ProgrammerContext& context) {
  hvpp_load_command(context, CMD_READ_SIGNATURE);
  return hvpp_read_at(context, 0, HV_SELECT_NONE);
}

// Programs one flash page but leaves no time for it.
void hurried_page_write(ProgrammerContext& context) {
  hvpp_load_command(context, CMD_WRITE_FLASH);
  hvpp_load_address_low(context, 0);
  hvpp_load_data_low(context, 0x12);
  hvpp_load_data_high_latch(context, 0x34);
  hvpp_load_address_high(context, 0);
  hvpp_program_pulse(context, 0);
}

// The entry sequence with pulses XTAL1 pulses and then lines on the pins as
// the voltage rises, without the waits.
void hasty_entry(ProgrammerContext& context, int pulses, uint8_t lines) {
  context.bus.latch_write(LATCH_CTRL, HV_CTRL_OFF);
  hvpp_pattern(context, HV_OE_N);
  for (int pulse = 0; pulse < pulses; ++pulse) {
    hvpp_pattern(context, HV_OE_N | HV_XTAL1);
    hvpp_pattern(context, HV_OE_N);
  }
  hvpp_pattern(context, lines);
  context.bus.latch_write(LATCH_CTRL, HV_CTRL_VPP_ON);
}

TEST(AttinyModel, EntryNeedsTheXtal1TogglesAndTheModeLinesLowBeforeTheVoltage) {
  for (const auto& [pulses, lines] : {std::pair<int, int>{0, HV_OE_N}, {3, HV_OE_N | HV_XA1_BS2}}) {
    SimulatedAttiny rig;
    hasty_entry(*rig.context, pulses, static_cast<uint8_t>(lines));
    expect_one_violation(rig, "without the entry sequence");
    EXPECT_FALSE(rig.chip->in_programming_mode());
    rig.context->clock.sleep_ms(1);
    EXPECT_EQ(read_signature_byte(*rig.context), 0xFF);  // nothing answers
  }
}

TEST(AttinyModel, ALoadRightAfterEntryIsTooSoon) {
  SimulatedAttiny rig;
  hasty_entry(*rig.context, 3, HV_OE_N);
  EXPECT_TRUE(rig.chip->in_programming_mode());
  hvpp_load_command(*rig.context, CMD_READ_SIGNATURE);
  expect_one_violation(rig, "after entering programming mode");
}

TEST(AttinyModel, LoadsWhileAPageIsBeingWrittenAreViolationsReportedOnce) {
  SimulatedAttiny rig;
  hvpp_enter(*rig.context);
  hurried_page_write(*rig.context);
  hvpp_load_address_low(*rig.context, 0x10);
  hvpp_load_data_low(*rig.context, 0x56);
  expect_one_violation(rig, "during the flash page write");
  rig.context->clock.sleep_ms(5);
  hvpp_load_address_low(*rig.context, 0x10);
  EXPECT_EQ(rig.board.violations().size(), 1u);
}

TEST(AttinyModel, RemovingTheVoltageDuringAWriteIsAViolation) {
  SimulatedAttiny rig;
  hvpp_enter(*rig.context);
  hurried_page_write(*rig.context);
  hvpp_enter(*rig.context);
  expect_one_violation(rig, "removed before the flash page write finished");
}

TEST(AttinyModel, StuckFlashByteReadsItsValueThroughWriteAndErase) {
  SimulatedAttiny rig;
  sim::ChipFaults faults;
  faults.stuck[0x21] = 0x5A;
  rig.chip->set_faults(faults);
  const std::vector<uint8_t> image(0x40, 0x00);
  attiny_flash_write(*rig.context, image.data(), 0, 0x40);
  EXPECT_NE(attiny_flash_verify(*rig.context, image.data(), 0, 0x40), 0u);
  attiny_flash_erase(*rig.context);
  std::vector<uint8_t> buffer(0x40);
  attiny_flash_read(*rig.context, buffer.data(), 0, 0x40);
  EXPECT_EQ(buffer[0x21], 0x5A);
  EXPECT_EQ(buffer[0x20], 0xFF);
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyModel, FlashBitsOnlyGoFromOneToZero) {
  SimulatedAttiny rig;
  const uint8_t first[] = {0xF0, 0x0F};
  const uint8_t second[] = {0x3C, 0xFF};
  attiny_flash_write(*rig.context, first, 0, 2);
  attiny_flash_write(*rig.context, second, 0, 2);
  EXPECT_EQ(rig.flash()[0], 0x30);
  EXPECT_EQ(rig.flash()[1], 0x0F);
}

TEST(AttinyModel, ChipEraseKeepsTheEepromWhileEesaveIsProgrammed) {
  SimulatedAttiny rig;
  rig.eeprom() = pattern_image(0x80);
  const std::vector<uint8_t> eeprom = rig.eeprom();
  rig.chip->set_fuses({0x64, 0x9F, 0xFF, 0xFF});
  attiny_flash_erase(*rig.context);
  EXPECT_EQ(rig.eeprom(), eeprom);
  rig.chip->set_fuses({0x64, 0xDF, 0xFF, 0xFF});
  attiny_flash_erase(*rig.context);
  EXPECT_EQ(rig.eeprom(), std::vector<uint8_t>(0x80, 0xFF));
}

// A lock bit once programmed stays programmed: writing FF after FC leaves
// FC, and only the chip erase brings the bits back.
TEST(AttinyModel, LockBitsOnlyFallUntilAChipErase) {
  SimulatedAttiny rig;
  ProgrammerContext& context = *rig.context;
  hvpp_enter(context);
  for (const int lock : {0xFC, 0xFF}) {
    hvpp_load_command(context, CMD_WRITE_LOCK);
    hvpp_program_byte(context, static_cast<uint8_t>(lock), HV_SELECT_NONE);
  }
  EXPECT_EQ(rig.chip->fuses()->lock, 0xFC);
  attiny_flash_erase(context);
  EXPECT_EQ(rig.chip->fuses()->lock, 0xFF);
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyModel, Lb1AloneStopsProgrammingButNotReading) {
  SimulatedAttiny rig;
  rig.flash() = pattern_image(0x800);
  const std::vector<uint8_t> flash = rig.flash();
  rig.chip->set_fuses({0x64, 0xDF, 0xFF, 0xFE});
  std::vector<uint8_t> buffer(0x20);
  attiny_flash_read(*rig.context, buffer.data(), 0, 0x20);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), flash.begin()));

  const std::vector<uint8_t> zeros(0x20, 0);
  attiny_flash_write(*rig.context, zeros.data(), 0, 0x20);
  EXPECT_EQ(rig.flash(), flash);
  expect_one_violation(rig, "lock bit LB1 is programmed");
}

TEST(AttinyModel, Lb1AndLb2MakeFlashAndEepromReadErased) {
  SimulatedAttiny rig;
  rig.flash() = pattern_image(0x800);
  rig.eeprom() = pattern_image(0x80);
  rig.chip->set_fuses({0x64, 0xDF, 0xFF, 0xFC});
  std::vector<uint8_t> buffer(0x20);
  attiny_flash_read(*rig.context, buffer.data(), 0x100, 0x20);
  EXPECT_EQ(buffer, std::vector<uint8_t>(0x20, 0xFF));
  attiny_eeprom_read(*rig.context, buffer.data(), 0, 0x20);
  EXPECT_EQ(buffer, std::vector<uint8_t>(0x20, 0xFF));
}

TEST(AttinyModel, RefusesWhatTheChipDoesNotTake) {
  const struct {
    const char* expected;
    std::function<void(ProgrammerContext&)> act;
  } cases[] = {
      {"unknown command 55", [](ProgrammerContext& c) { hvpp_load_command(c, 0x55); }},
      {"/WR pulse under command 02",
       [](ProgrammerContext& c) {
         hvpp_load_command(c, CMD_READ_FLASH);
         hvpp_program_pulse(c, 10);
       }},
      {"/OE low under command 10",
       [](ProgrammerContext& c) {
         hvpp_load_command(c, CMD_WRITE_FLASH);
         hvpp_read(c, HV_SELECT_NONE);
       }},
      {"nothing drives the data pins",
       [](ProgrammerContext& c) { hvpp_load_address_low(c, 0x00); }},  // no command yet: 0xC8
      {"bus contention",
       [](ProgrammerContext& c) {
         hvpp_load_command(c, CMD_READ_FLASH);
         hvpp_pattern(c, HV_WR_N);  // /OE low while the data latch drives
       }},
  };
  for (const auto& c : cases) {
    SimulatedAttiny rig;
    hvpp_enter(*rig.context);
    c.act(*rig.context);
    ASSERT_FALSE(rig.board.violations().empty()) << c.expected;
    EXPECT_THAT(rig.board.violations()[0], HasSubstr(c.expected));
  }
}

}  // namespace
}  // namespace fp::test
