// The planned write with a chip that never reports ready: it
// fails with the row's own failure, and a page write is still verified.
#include "app/write_planner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/catalogue.h"
#include "platform/utf8.h"
#include "sim/jedec/jedec_flash.h"
#include "tests/app/write_failures.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/row_params.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct NeverReadyChip : test::WriteFailures {
  NeverReadyChip(std::u16string_view row, std::string_view model, uint8_t cells) {
    rig.select(row);
    auto& chip = rig.insert(std::make_unique<sim::JedecFlash>(*sim::find_jedec_variant(model)));
    chip.memory("main")->assign(chip.variant().size, cells);
    sim::ChipFaults faults;
    faults.never_ready = true;
    chip.set_faults(faults);
    rig.context->chip_waits = ChipWaits::poll;
  }
  bool write(uint32_t start, uint32_t count, uint8_t value) {
    ImageSlice slice{start, std::vector<uint8_t>(count, value), std::vector<bool>(count, true)};
    WritePlanner planner(*rig.context, sink(), [](bool) {});
    return planner.write(slice);
  }
  test::SimulatedRig rig;
};

TEST(PlannedWriteOnANeverReadyChip, APageWriteStopsAndIsStillVerified) {
  NeverReadyChip chip(u"W29EE512", "W29EE512", 0xFF);
  EXPECT_FALSE(chip.write(0x100, 0x100, 0x12));
  EXPECT_TRUE(chip.failed);
  EXPECT_THAT(chip.text, HasSubstr("never reported ready programming 100h-1FFh"));
  EXPECT_THAT(chip.text, HasSubstr("verify: first difference at 100h"));
}

TEST(PlannedWriteOnANeverReadyChip, AnEraseFailsTheWriteWithTheEraseError) {
  NeverReadyChip chip(u"AT49F512", "AT49F512", 0x00);
  EXPECT_FALSE(chip.write(0, 0x10, 0xFF));
  EXPECT_THAT(chip.text, HasSubstr("the erase of 0h-FFFFh failed"));
  EXPECT_THAT(chip.rig.view.window.boxes,
              ElementsAre(test::ShownBox{text::ERASE_ERROR, text::PROGRAMMER, mb::ICON_ERROR}));
}

// Bytes that take longer than the window's gap before the next command: the
// erase wiped the whole chip, and every byte outside the slice comes back.
TEST(PlannedWriteOnASlowChip, ErasedBytesArePutBackWhateverTheByteTime) {
  for (const char* model : {"AT49F512", "AT49F002"}) {
    test::WriteFailures failures;
    test::SimulatedRig rig;
    rig.select(std::u16string(model, model + std::char_traits<char>::length(model)));
    sim::JedecVariant variant = *sim::find_jedec_variant(model);
    variant.write_time_us = 40;
    auto& chip = rig.insert(std::make_unique<sim::JedecFlash>(variant));
    std::vector<uint8_t>& cells = *chip.memory("main");
    for (uint32_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<uint8_t>(i * 7);
    const std::vector<uint8_t> before = cells;
    rig.context->chip_waits = ChipWaits::poll;
    ImageSlice slice{0x100, std::vector<uint8_t>(0x101, 0xFF), std::vector<bool>(0x101, true)};
    WritePlanner planner(*rig.context, failures.sink(), [](bool) {});
    EXPECT_TRUE(planner.write(slice)) << model << failures.text;
    EXPECT_TRUE(std::equal(cells.begin(), cells.begin() + 0x100, before.begin())) << model;
    EXPECT_TRUE(std::all_of(cells.begin() + 0x100, cells.begin() + 0x201, [](uint8_t cell) {
      return cell == 0xFF;
    })) << model;
    EXPECT_TRUE(std::equal(cells.begin() + 0x201, cells.end(), before.begin() + 0x201)) << model;
    EXPECT_THAT(rig.board.violations(), ::testing::IsEmpty()) << model;
  }
}

// A chip holding old bytes everywhere, and a write over the edge of its first
// two erase regions (or the middle of a whole-chip erase) whose Nth erase
// fails the way the test says.
struct FailingErase : test::WriteFailures {
  FailingErase(const ChipDescriptor& chip_row, std::function<void(sim::ChipModel&)> fault,
               uint32_t failing_erase)
      : row(chip_row) {
    rig.select(row.name);
    rig.insert(row.facts.model);
    rig.context->chip_waits = ChipWaits::poll;
    auto& cells = rig.memory();
    for (uint32_t i = 0; i < row.size; ++i) cells[i] = static_cast<uint8_t>(i * 13 + 1);
    old = cells;
    // The first two regions of the map, or the chip's middle.
    const auto map = row.facts.erase_map;
    const bool blocks = row.facts.erase != EraseLayout::whole_chip && map.size() >= 2;
    const uint32_t edge = blocks ? map[1].address : row.size / 2;
    const uint32_t start = edge - std::min<uint32_t>(edge, 0x40);
    const uint32_t count = blocks ? map[1].size / 2 + 0x40 : 0x80;
    slice = ImageSlice{start, std::vector<uint8_t>(count, 0x5A), std::vector<bool>(count, true)};
    int erases = 0;
    WritePlanner planner(*rig.context, sink(), [&](bool quiet) {
      if (quiet && ++erases == static_cast<int>(failing_erase)) fault(*rig.board.chip());
    });
    written = planner.write(slice);
    report = planner.report();
  }
  bool in_slice(uint32_t address) const { return address >= slice.start && address < slice.end(); }
  // Every byte outside the slice holds its old value, or is named as not
  // restored and held by the rescue.
  void expect_nothing_lost() {
    ASSERT_TRUE(report.rescue.has_value()) << text;
    const WriteRescue& rescue = *report.rescue;
    for (uint32_t i = 0; i < rescue.old_bytes.size(); ++i) {
      ASSERT_EQ(rescue.old_bytes[i], old[rescue.start + i]) << std::hex << rescue.start + i;
    }
    const auto named = [&rescue](uint32_t address) {
      return std::any_of(
          rescue.not_restored.begin(), rescue.not_restored.end(),
          [address](const AddressRange& r) { return address >= r.start && address < r.end; });
    };
    const auto cells = rig.memory();
    uint32_t lost = 0;
    for (uint32_t address = 0; address < row.size; ++address) {
      if (in_slice(address) || cells[address] == old[address]) continue;
      ++lost;
      ASSERT_TRUE(named(address) && address >= rescue.start &&
                  address < rescue.start + rescue.old_bytes.size())
          << std::hex << address << " lost and not named";
    }
    // What is named is really not as it was.
    for (const AddressRange& range : rescue.not_restored) {
      for (uint32_t address = range.start; address < range.end; ++address) {
        EXPECT_FALSE(in_slice(address));
      }
    }
    size_t erase_boxes =
        std::count_if(rig.view.window.boxes.begin(), rig.view.window.boxes.end(),
                      [](const test::ShownBox& box) { return box.text == text::ERASE_ERROR; });
    EXPECT_LE(erase_boxes, 1u);
    (void)lost;
  }

  const ChipDescriptor& row;
  test::SimulatedRig rig;
  std::vector<uint8_t> old;
  ImageSlice slice;
  bool written = false;
  WriteReport report;
};

void never_ready(sim::ChipModel& chip) {
  sim::ChipFaults faults = chip.faults();
  faults.never_ready = true;
  chip.set_faults(faults);
}

bool erases_for_a_write(const ChipDescriptor& row) {
  return row.slots.on_write != nullptr && !row.facts.rewrites_in_place &&
         row.facts.erase != EraseLayout::none && *row.facts.model != 0;
}

class ErasingRowWrite : public test::RowTest {};

TEST_P(ErasingRowWrite, AFailingEraseLosesNothingOutsideTheSlice) {
  const ChipDescriptor& row = this->row();
  const bool blocks = row.facts.erase != EraseLayout::whole_chip;
  // The last erase of the write never ends.
  FailingErase write(row, never_ready, blocks ? 2 : 1);
  EXPECT_FALSE(write.written);
  write.expect_nothing_lost();
  if (blocks) {
    // The first region is done: it holds the slice's part and its old rest.
    const auto cells = write.rig.memory();
    const BlockRange first = row.facts.erase_map[0];
    for (uint32_t address = first.address; address < first.address + first.size; ++address) {
      ASSERT_EQ(cells[address], write.in_slice(address) ? 0x5A : write.old[address]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ErasingRowWrite,
                         ::testing::ValuesIn(test::rows_where(erases_for_a_write)),
                         test::row_param_label);

TEST(PlannedWriteWithAFailingErase, EveryFamilyThatErasesForAWriteIsPlayed) {
  EXPECT_GE(test::rows_where(erases_for_a_write).size(), 6u);
}

TEST(PlannedWriteWithAFailingErase, AnAm28f001WhoseChipEraseFailsNamesWhatItCouldNotPutBack) {
  FailingErase write(
      test::catalogue_row(u"AM28F001"),
      [](sim::ChipModel& chip) {
        sim::ChipFaults faults = chip.faults();
        faults.erase_pulses = 100000;  // more than the algorithm gives
        chip.set_faults(faults);
      },
      1);
  EXPECT_FALSE(write.written);
  write.expect_nothing_lost();
  // The erase brought every byte to 00 first: what was not 00 is lost, and named.
  const WriteRescue& rescue = *write.report.rescue;
  EXPECT_EQ(rescue.start, 0u);
  EXPECT_EQ(rescue.old_bytes.size(), 0x20000u);
  ASSERT_FALSE(rescue.not_restored.empty());
  const auto first_zero = std::find(write.old.begin(), write.old.end(), 0x00) - write.old.begin();
  EXPECT_EQ(rescue.not_restored.front(), (AddressRange{0, static_cast<uint32_t>(first_zero)}));
  EXPECT_THAT(write.text, HasSubstr("the erase of 0h-1FFFFh failed"));
  EXPECT_EQ(std::count_if(write.rig.view.window.boxes.begin(), write.rig.view.window.boxes.end(),
                          [](const test::ShownBox& box) { return box.text == text::ERASE_ERROR; }),
            1);
}

TEST(PlannedWriteWithAFailingErase, AnI28f001bxBlockWhoseEraseFailsIsNamedAndTheFirstBlockIsDone) {
  // A byte of the second block that stays 00: the chip reports its erase failed.
  for (std::u16string_view name : {u"i28F001BX-T", u"i28F001BX-B"}) {
    const ChipDescriptor& row = test::catalogue_row(name);
    const BlockRange second = row.facts.erase_map[1];
    const uint32_t stuck = second.address + second.size - 1;
    FailingErase write(
        row,
        [stuck](sim::ChipModel& chip) {
          sim::ChipFaults faults = chip.faults();
          faults.stuck[stuck] = 0x00;
          chip.set_faults(faults);
        },
        2);
    EXPECT_FALSE(write.written);
    write.expect_nothing_lost();
    EXPECT_THAT(write.text, HasSubstr("the erase of " + address_text(second.address) + "-" +
                                      address_text(stuck) + " failed"));
    EXPECT_EQ(write.report.rescue->start, second.address);
    EXPECT_EQ(write.report.rescue->old_bytes.size(), second.size);
    const auto cells = write.rig.memory();
    for (uint32_t address = 0; address < row.facts.erase_map[0].size; ++address) {
      ASSERT_EQ(cells[address], write.in_slice(address) ? 0x5A : write.old[address]);
    }
  }
}

TEST(PlannedWrite, BytesARecordFileLeavesOutCountAsPutBack) {
  test::SimulatedRig rig(u"AT49F512", "AT49F512");
  auto& cells = rig.memory();
  for (uint32_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<uint8_t>(i | 1);
  // 100h-1FFh given, 200h-8FFh left out (a gap of the record file), 900h-9FFh given.
  ImageSlice slice{0x100, std::vector<uint8_t>(0x900, 0xA5), std::vector<bool>(0x900, true)};
  std::fill(slice.held.begin() + 0x100, slice.held.begin() + 0x800, false);
  test::WriteFailures failures;
  WritePlanner planner(*rig.context, failures.sink(), [](bool) {});
  ASSERT_TRUE(planner.write(slice)) << failures.text;
  // Every byte the image does not give and the erase cleared: all but the
  // 200h given and the bytes that were FF already (FE and FF end each 100h).
  EXPECT_EQ(planner.report().restored_bytes, 0x10000u - 0x200u - (0x200u - 4));
  EXPECT_EQ(rig.memory()[0x300], 0x01);
}

// A protected W29EE512 under the window's waits takes none of the pages that
// go in without a command: the report says the wrong pages hold their old
// bytes. A stuck byte in a page the chip took is no such page.
TEST(PlannedWriteOfPages, WrongPagesThatKeptTheirOldBytesAreReported) {
  for (const bool protected_chip : {true, false}) {
    test::SimulatedRig rig(u"W29EE512", "W29EE512");
    rig.memory().assign(rig.memory().size(), 0x5A);
    sim::ChipModel& chip = *rig.board.chip();
    ASSERT_TRUE(chip.restore_lasting_state(
        {{"protection", {static_cast<uint8_t>(protected_chip ? 1 : 0)}}}));
    if (!protected_chip) {
      sim::ChipFaults faults;
      faults.stuck[0x90] = 0x5A;
      chip.set_faults(faults);
    }
    rig.context->chip_waits = ChipWaits::fixed;
    ImageSlice slice{0x40, std::vector<uint8_t>(0x100, 0xA5), std::vector<bool>(0x100, true)};
    test::WriteFailures failures;
    WritePlanner planner(*rig.context, failures.sink(), [](bool) {});
    EXPECT_FALSE(planner.write(slice));
    EXPECT_THAT(failures.text,
                HasSubstr(protected_chip ? "first difference at 40h" : "first difference at 90h"));
    EXPECT_EQ(planner.report().wrong_units_unchanged, protected_chip) << protected_chip;
  }
}

TEST(PlannedWrite, RangesAreNamedAsTheWindowWritesAddresses) {
  EXPECT_EQ(ranges_text({{0x1C000, 0x1D000}, {0x1E000, 0x1E001}}), "1C000h-1CFFFh, 1E000h");
}

}  // namespace
}  // namespace fp
