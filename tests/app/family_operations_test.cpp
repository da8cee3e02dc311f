// The family operations as functions of values, on the simulated board: what
// each takes, what it refuses without touching the chip, and what it reports
// when the chip does not do as asked.
#include "app/family_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "tests/support/programmer_rigs.h"
#include "ui/texts.h"

namespace fp {
namespace {

struct RowRig : test::SimulatedRig {
  explicit RowRig(std::u16string_view row)
      : SimulatedRig(row, test::catalogue_row(row).facts.model, test::Recording::every_access) {}

  [[nodiscard]] std::span<const BlockRange> map() const {
    return context->current_chip->facts.erase_map;
  }
  void fill(uint8_t value) { std::fill(memory().begin(), memory().end(), value); }
  [[nodiscard]] bool erased(const BlockRange& block) {
    return std::all_of(memory().begin() + block.address,
                       memory().begin() + block.address + block.size,
                       [](uint8_t b) { return b == 0xFF; });
  }
  [[nodiscard]] size_t blank_bytes() {
    return static_cast<size_t>(std::count(memory().begin(), memory().end(), 0xFF));
  }
};

// A refusal sends nothing at all to the board.
void expect_untouched(RowRig& rig, const BlockOutcome& outcome) {
  EXPECT_EQ(outcome.status, OperationStatus::refused);
  EXPECT_TRUE(rig.recorder.accesses().empty());
  EXPECT_EQ(rig.blank_bytes(), 0u);
  EXPECT_TRUE(rig.view.window.boxes.empty());
}

TEST(FamilyErase, BlocksOfTheMapAreErasedAndTheRestKept) {
  RowRig rig(u"i28F001BX-T");
  rig.fill(0x00);
  const std::vector<BlockRange> blocks{rig.map()[1], rig.map()[3]};
  const BlockOutcome outcome = erase(*rig.context, {EraseScope::blocks, 0, blocks});
  EXPECT_EQ(outcome.status, OperationStatus::done);
  EXPECT_TRUE(rig.erased(blocks[0]) && rig.erased(blocks[1]));
  EXPECT_EQ(rig.blank_bytes(), blocks[0].size + blocks[1].size);
  EXPECT_FALSE(rig.board.vpp_on());
}

TEST(FamilyErase, TheWholeChipOfABlockRowIsEveryBlock) {
  RowRig rig(u"i28F001BX-B");
  rig.fill(0x00);
  EXPECT_EQ(erase(*rig.context, {}).status, OperationStatus::done);
  EXPECT_EQ(rig.blank_bytes(), rig.memory().size());
}

TEST(FamilyErase, RequestsThatNameNothingTheChipHasAreRefusedBeforeAnyTraffic) {
  const BlockRange not_a_block{0x2000, 0x1000};  // inside the top-boot main block
  {
    RowRig rig(u"i28F001BX-T");
    rig.fill(0x00);
    rig.recorder.clear();
    SCOPED_TRACE("no block");
    expect_untouched(rig, erase(*rig.context, {EraseScope::blocks, 0, {}}));
    SCOPED_TRACE("a range that is no block");
    expect_untouched(rig, erase(*rig.context, {EraseScope::blocks, 0, {not_a_block}}));
    SCOPED_TRACE("a block twice");
    expect_untouched(rig,
                     erase(*rig.context, {EraseScope::blocks, 0, {rig.map()[1], rig.map()[1]}}));
    SCOPED_TRACE("a sector of a block row");
    expect_untouched(rig, erase(*rig.context, {EraseScope::sector, 0x1C000, {}}));
    SCOPED_TRACE("a blank check of no block of the map");
    const std::vector<BlockRange> wrong{not_a_block};
    expect_untouched(rig, blank_check(*rig.context, wrong));
  }
  {
    RowRig rig(u"AT49F002");
    rig.fill(0x00);
    rig.recorder.clear();
    SCOPED_TRACE("an address inside a sector, not its start");
    expect_untouched(rig, erase(*rig.context, {EraseScope::sector, 0x4001, {}}));
    SCOPED_TRACE("blocks of a sector row");
    expect_untouched(rig, erase(*rig.context, {EraseScope::blocks, 0, {rig.map()[0]}}));
  }
  {
    RowRig rig(u"AT49F512");
    rig.fill(0x00);
    rig.recorder.clear();
    SCOPED_TRACE("a sector of a row that erases only as a whole");
    expect_untouched(rig, erase(*rig.context, {EraseScope::sector, 0, {}}));
  }
  {
    RowRig rig(u"AT29C010A");
    rig.fill(0x00);
    rig.recorder.clear();
    SCOPED_TRACE("a row without an erase");
    expect_untouched(rig, erase(*rig.context, {}));
  }
}

TEST(FamilyErase, OneSectorOfASectorRow) {
  RowRig rig(u"AT49F002");
  rig.fill(0x00);
  const BlockRange sector = rig.map()[2];
  const BlockOutcome outcome = erase(*rig.context, {EraseScope::sector, sector.address, {}});
  EXPECT_EQ(outcome.status, OperationStatus::done);
  EXPECT_TRUE(rig.erased(sector));
  EXPECT_EQ(rig.blank_bytes(), sector.size);
}

TEST(FamilyErase, ABlockEraseThatNeverEndsStopsThereAndNamesTheBlock) {
  RowRig rig(u"i28F001BX-T");
  rig.fill(0x00);
  sim::ChipFaults faults;
  faults.never_ready_from = 2;
  rig.board.chip()->set_faults(faults);
  const std::vector<BlockRange> blocks{rig.map()[0], rig.map()[1], rig.map()[2]};
  const BlockOutcome outcome = erase(*rig.context, {EraseScope::blocks, 0, blocks});
  EXPECT_EQ(outcome.status, OperationStatus::failed);
  ASSERT_TRUE(outcome.block);
  EXPECT_EQ(*outcome.block, blocks[1]);
  // The third block was never sent.
  EXPECT_FALSE(rig.erased(blocks[2]));
  EXPECT_FALSE(rig.board.vpp_on());
}

TEST(FamilyErase, ASectorEraseThatNeverEndsIsAFailureWhenTheChipIsAsked) {
  RowRig rig(u"AT49F002");
  rig.context->chip_waits = ChipWaits::poll;  // the window's fixed wait asks nothing
  sim::ChipFaults faults;
  faults.never_ready = true;
  rig.board.chip()->set_faults(faults);
  EXPECT_EQ(erase(*rig.context, {EraseScope::sector, rig.map()[0].address, {}}).status,
            OperationStatus::failed);
}

// The rows that erase only as a whole, one of each driver.
constexpr std::u16string_view WHOLE_CHIP_ROWS[] = {u"W29EE512", u"AM28F001", u"AT89C2051/2052",
                                                   u"ATTINY2313 - FLASH"};

TEST(FamilyErase, AWholeChipEraseLeavesTheChipBlankAndSaysSoWithoutABox) {
  for (const std::u16string_view row : WHOLE_CHIP_ROWS) {
    SCOPED_TRACE(to_utf8(row));
    RowRig rig(row);
    rig.fill(0x00);
    EXPECT_EQ(erase(*rig.context, {}).status, OperationStatus::done);
    EXPECT_EQ(rig.blank_bytes(), rig.memory().size());
    EXPECT_TRUE(rig.view.window.boxes.empty());
    EXPECT_EQ(rig.context->bus.progress_prefix, nullptr);
    // The ATtiny stays in programming mode, as the window leaves it, until the run ends.
    if (rig.context->current_chip->facts.family != ChipFamily::attiny) {
      EXPECT_FALSE(rig.board.vpp_on());
    }
  }
}

TEST(FamilyErase, AWholeChipEraseThatFailsIsAFailureWithoutABox) {
  {
    RowRig rig(u"AM28F001");
    sim::ChipFaults faults;
    faults.stuck[0x8000] = 0x7F;  // will not program to 00h before the erase
    rig.board.chip()->set_faults(faults);
    EXPECT_EQ(erase(*rig.context, {}).status, OperationStatus::failed);
    EXPECT_TRUE(rig.view.window.boxes.empty());
    EXPECT_FALSE(rig.board.vpp_on());
  }
  {
    RowRig rig(u"W29EE512");
    rig.context->chip_waits = ChipWaits::poll;
    sim::ChipFaults faults;
    faults.never_ready = true;
    rig.board.chip()->set_faults(faults);
    EXPECT_EQ(erase(*rig.context, {}).status, OperationStatus::failed);
    EXPECT_TRUE(rig.view.window.boxes.empty());
  }
}

TEST(FamilyErase, TheEepromAloneIsNotErasedAndSaysWhy) {
  RowRig rig(u"ATTINY2313 - EEPROM");
  rig.fill(0x00);
  rig.recorder.clear();
  expect_untouched(rig, erase(*rig.context, {}));
  EXPECT_EQ(std::u16string_view(erase_refusal(*rig.context->current_chip)),
            text::EEPROM_ERASE_REFUSED);
}

TEST(FamilyErase, OnlyTheRowsWhoseWindowAsksFirstAskFirst) {
  EXPECT_TRUE(erase_asks_first(test::catalogue_row(u"W29EE512")));
  EXPECT_TRUE(erase_asks_first(test::catalogue_row(u"W29C020")));
  EXPECT_FALSE(erase_asks_first(test::catalogue_row(u"AT29C010A")));  // no erase at all
  EXPECT_FALSE(erase_asks_first(test::catalogue_row(u"AT49F002")));
  EXPECT_FALSE(erase_asks_first(test::catalogue_row(u"AM28F001")));
}

TEST(FamilyBlankCheck, AWholeChipCheckFindsTheLastByteNotBlank) {
  constexpr std::u16string_view ROWS[] = {u"W29EE512", u"AM28F001", u"AT89C2051/2052",
                                          u"ATTINY2313 - FLASH", u"ATTINY2313 - EEPROM"};
  for (const std::u16string_view row : ROWS) {
    SCOPED_TRACE(to_utf8(row));
    RowRig rig(row);
    const bool eeprom = rig.context->current_chip->facts.driver == ChipDriver::attiny_eeprom;
    std::vector<uint8_t>& cells = rig.memory(eeprom ? "eeprom" : "main");
    std::fill(cells.begin(), cells.end(), 0xFF);
    EXPECT_EQ(blank_check(*rig.context).status, OperationStatus::done);
    cells.back() = 0xFE;
    EXPECT_EQ(blank_check(*rig.context).status, OperationStatus::failed);
    EXPECT_TRUE(rig.view.window.boxes.empty());
  }
}

TEST(FamilyBlankCheck, NamesTheFirstBlockNotBlankInTheOrderGiven) {
  RowRig rig(u"i28F001BX-T");
  rig.fill(0xFF);
  rig.memory()[rig.map()[3].address + 5] = 0x00;
  rig.memory()[rig.map()[2].address] = 0x00;
  const std::vector<BlockRange> blank{rig.map()[0], rig.map()[1]};
  EXPECT_EQ(blank_check(*rig.context, blank).status, OperationStatus::done);
  const BlockOutcome all = blank_check(*rig.context);
  EXPECT_EQ(all.status, OperationStatus::failed);
  EXPECT_EQ(all.block, rig.map()[2]);
  EXPECT_EQ(rig.context->bus.progress_prefix, nullptr);
}

TEST(FamilyProtection, ARowWithoutItSendsNothing) {
  RowRig rig(u"AT49F002");
  rig.recorder.clear();
  EXPECT_FALSE(set_protection(*rig.context, true));
  EXPECT_TRUE(rig.recorder.accesses().empty());
}

TEST(FamilyFuses, ARowWithoutFusesIsNotTouched) {
  RowRig rig(u"AT89C2051/2052");
  rig.recorder.clear();
  EXPECT_FALSE(read_fuses(*rig.context));
  EXPECT_FALSE(write_fuses(*rig.context, {0xE4, std::nullopt, std::nullopt}));
  EXPECT_FALSE(write_lock(*rig.context, 0xFC));
  EXPECT_TRUE(rig.recorder.accesses().empty());
}

TEST(FamilyFuses, TheBytesNotNamedAreWrittenAsTheChipHeldThem) {
  test::SimulatedRig rig(u"ATTINY2313 - FLASH", "ATTINY2313");
  const auto written = write_fuses(*rig.context, {std::nullopt, 0x9F, std::nullopt});
  ASSERT_TRUE(written);
  EXPECT_EQ(written->before.signature, (std::array<uint8_t, 3>{0x1E, 0x91, 0x0A}));
  EXPECT_EQ(written->after.fuses,
            (FuseBytes{written->before.fuses.low, 0x9F, written->before.fuses.extended}));
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(FamilyFuses, AFuseWriteThatDoesNotTakeShowsInTheReadBack) {
  test::SimulatedRig rig(u"ATTINY2313 - FLASH", "ATTINY2313");
  // LB1 programmed: the chip ignores fuse writes until a chip erase.
  ASSERT_TRUE(write_lock(*rig.context, 0xFE));
  const FuseChange change{0xE4, std::nullopt, std::nullopt};
  const auto written = write_fuses(*rig.context, change);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->after.fuses, written->before.fuses);
  EXPECT_NE(written->after.fuses.low, 0xE4);
}

TEST(FamilyFuses, LockBitsOnlyFallUntilAChipErase) {
  test::SimulatedRig rig(u"ATTINY2313 - FLASH", "ATTINY2313");
  const auto first = write_lock(*rig.context, 0xFC);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->before.lock, 0xFF);
  EXPECT_EQ(first->after.lock & 0x03, 0x00);
  const auto second = write_lock(*rig.context, 0xFF);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->after.lock & 0x03, 0x00);
}

}  // namespace
}  // namespace fp
