// The planned write with a chip that never reports ready: it
// fails with the row's own failure, and a page write is still verified.
#include "app/write_planner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/jedec/jedec_flash.h"
#include "tests/app/write_failures.h"
#include "tests/support/programmer_rigs.h"
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
  EXPECT_THAT(chip.text, HasSubstr("the erase at 0h failed"));
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

}  // namespace
}  // namespace fp
