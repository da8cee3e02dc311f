// The i28F001BX rows against the simulated chip: what the operator sees and
// what ends up in the chip.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "bus/number_text.h"
#include "chips/common/common_handlers.h"
#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "tests/highvolt/highvolt_rigs.h"
#include "tests/support/random_bytes.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct I28fTest : ::testing::TestWithParam<const char*> {
  bool top_boot() const { return std::string_view(GetParam()) == "I28F001BX-T"; }
  std::u16string row() const { return top_boot() ? u"i28F001BX-T" : u"i28F001BX-B"; }

  SimulatedRig rig{row(), GetParam()};
  ProgrammerContext& context = *rig.context;
  sim::ChipModel* chip = rig.board.chip();

  std::vector<uint8_t>& memory() { return rig.memory(); }

  // The voltage is off and the chip saw nothing it would not take.
  void expect_left_safe() {
    EXPECT_FALSE(rig.board.vpp_on());
    EXPECT_FALSE(context.bus.bus_address.vpp_flag());
    EXPECT_THAT(rig.board.violations(), IsEmpty());
  }
};

INSTANTIATE_TEST_SUITE_P(BothMaps, I28fTest, ::testing::Values("I28F001BX-T", "I28F001BX-B"));

TEST_P(I28fTest, WholeChipWriteReadsBackAndTakesUnderTenSeconds) {
  const std::vector<uint8_t> image = random_bytes(0x20000, 5);

  const uint64_t start = rig.board.now_us();
  EXPECT_EQ(i28f_write(context, image.data(), 0, 0x20000), 0u);
  const uint64_t elapsed = rig.board.now_us() - start;

  EXPECT_EQ(memory(), image);
  EXPECT_EQ(default_verify(context, image.data(), 0, 0x20000), 0u);
  EXPECT_EQ(rig.board.vpp_switch_ons(), 1u);
  EXPECT_LT(elapsed, 10'000'000u);
  expect_left_safe();
}

TEST_P(I28fTest, WriteAcross64KLandsInTheUpperHalf) {
  const std::vector<uint8_t> image(0x20, 0x5A);
  EXPECT_EQ(i28f_write(context, image.data(), 0xFFF0, 0x20), 0u);
  EXPECT_EQ(memory()[0xFFF0], 0x5A);
  EXPECT_EQ(memory()[0x1000F], 0x5A);
  EXPECT_EQ(memory()[0x10010], 0xFF);
  EXPECT_EQ(memory()[0x0000], 0xFF);
  EXPECT_EQ(memory()[0x000F], 0xFF);
  expect_left_safe();
}

TEST_P(I28fTest, AByteThatCannotTakeItsValueFailsTheWriteButNotTheRest) {
  memory()[0x10] = 0x0F;
  const std::vector<uint8_t> image(0x20, 0xF0);  // asks 0x0F to raise its high bits
  EXPECT_EQ(i28f_write(context, image.data(), 0, 0x20), 0x10u);
  EXPECT_EQ(memory()[0x10], 0x00);
  EXPECT_EQ(memory()[0x1F], 0xF0);
  expect_left_safe();
}

TEST_P(I28fTest, AWriteToAChipThatNeverBecomesReadyFailsWithinASecond) {
  sim::ChipFaults faults;
  faults.never_ready = true;
  chip->set_faults(faults);
  const std::vector<uint8_t> image(0x20000, 0x00);
  const uint64_t start = rig.board.now_us();
  EXPECT_EQ(i28f_write(context, image.data(), 0, 0x20000), 0x18u);
  EXPECT_LT(rig.board.now_us() - start, 1'000'000u);
  EXPECT_EQ(std::count(memory().begin(), memory().end(), 0xFF), 0x20000);
  expect_left_safe();
}

TEST_P(I28fTest, EraseTouchesOnlyThePickedBlocksInOrder) {
  std::fill(memory().begin(), memory().end(), 0x00);
  accept_blocks(rig.view, {ctl::BLOCK_1, ctl::BLOCK_3});
  const HighVoltState& state = context.highvolt;
  const BlockRange first = state.block_table[1];
  const BlockRange second = state.block_table[3];

  context.current_chip->slots.on_erase(context);

  EXPECT_THAT(rig.view.status_texts,
              ElementsAre(u"", u"Стирание: " + hex_text(first.address) + u"h",
                          u"Стирание: " + hex_text(second.address) + u"h", u""));
  EXPECT_THAT(rig.view.window.boxes, IsEmpty());
  for (uint32_t address = 0; address < 0x20000; ++address) {
    const bool erased =
        (address - first.address < first.size) || (address - second.address < second.size);
    ASSERT_EQ(memory()[address], erased ? 0xFF : 0x00) << std::hex << address;
  }
  EXPECT_EQ(rig.board.vpp_switch_ons(), 2u);
  expect_left_safe();
}

// -v reports the erases' polls: each block erase polls with sleeps, the
// slowest sets the longest; a chip that never gets ready shows the whole bound.
TEST_P(I28fTest, EachBlockEraseCountsAsAPollThatRanLongWithItsSleeps) {
  // Three small blocks (1.2 s: two one-second sleeps) and a large one (2.4 s: three).
  accept_blocks(rig.view, {ctl::BLOCK_0, ctl::BLOCK_1, ctl::BLOCK_2, ctl::BLOCK_3});
  context.current_chip->slots.on_erase(context);
  EXPECT_EQ(context.long_polls.count, 4u);
  EXPECT_EQ(context.long_polls.longest_ms, 3000u);

  sim::ChipFaults faults;
  faults.never_ready = true;
  chip->set_faults(faults);
  EXPECT_NE(i28f_block_erase(context, context.highvolt.block_table[1].address), 0u);
  EXPECT_EQ(context.long_polls.count, 5u);
  EXPECT_EQ(context.long_polls.longest_ms, 10'000u);
  expect_left_safe();
}

TEST_P(I28fTest, EraseWithNothingPickedOrCancelledDoesNothing) {
  std::fill(memory().begin(), memory().end(), 0x00);
  accept_blocks(rig.view, {});
  context.current_chip->slots.on_erase(context);
  rig.view.dialog_player = [](int, DialogLogic& logic, FakeDialogView& view) {
    view.set_checked(ctl::BLOCK_0, true);
    logic.on_command(view, command_value(ctl::CANCEL_BUTTON));
  };
  context.current_chip->slots.on_erase(context);

  EXPECT_THAT(rig.view.status_texts, ElementsAre(u"", u"", u"", u""));
  EXPECT_THAT(rig.view.window.boxes, IsEmpty());
  EXPECT_EQ(std::count(memory().begin(), memory().end(), 0x00), 0x20000);
  EXPECT_EQ(rig.board.vpp_switch_ons(), 0u);
}

TEST_P(I28fTest, BlockDialogsThatFailToOpenReuseNoEarlierChoice) {
  accept_as_shown(rig.view);
  context.current_chip->slots.on_blank_check(context);  // every block picked, all blank
  ASSERT_THAT(rig.view.window.boxes, IsEmpty());

  std::fill(memory().begin(), memory().end(), 0x00);
  rig.view.dialogs_failing_to_open = 2;
  context.current_chip->slots.on_blank_check(context);
  EXPECT_THAT(rig.view.window.boxes, IsEmpty());  // nothing was checked
  EXPECT_EQ(rig.view.status(), u"Проверка завершена...");
  rig.view.status_texts.clear();
  context.current_chip->slots.on_erase(context);
  EXPECT_THAT(rig.view.status_texts, ElementsAre(u"", u""));

  EXPECT_THAT(rig.view.dialogs_run, ElementsAre(dlg::BLOCKS, dlg::BLOCKS, dlg::BLOCKS));
  EXPECT_EQ(std::count(memory().begin(), memory().end(), 0x00), 0x20000);
  EXPECT_EQ(rig.board.vpp_switch_ons(), 0u);
  expect_left_safe();
}

TEST_P(I28fTest, BlankCheckOfEveryBlockFindsANonBlankByteInAnyOfThem) {
  accept_as_shown(rig.view);
  context.current_chip->slots.on_blank_check(context);
  EXPECT_THAT(rig.view.window.boxes, IsEmpty());
  EXPECT_EQ(rig.view.status(), u"Проверка завершена...");

  for (const BlockRange& block : context.highvolt.block_table) {
    SCOPED_TRACE(block.address);
    rig.view.window.boxes.clear();
    const uint32_t last = block.address + block.size - 1;
    memory()[last] = 0xFE;
    context.current_chip->slots.on_blank_check(context);
    memory()[last] = 0xFF;
    EXPECT_THAT(rig.view.window.boxes,
                ElementsAre(ShownBox{u"ПЗУ не стёрто!", std::nullopt, mb::ICON_ERROR}));
    EXPECT_EQ(rig.view.status(), u"Проверка завершена...");
  }
  EXPECT_EQ(rig.board.vpp_switch_ons(), 0u);
  expect_left_safe();
}

TEST_P(I28fTest, BlankCheckLooksOnlyAtThePickedBlocksAndStopsAtTheFirstFailure) {
  const HighVoltState& state = context.highvolt;
  memory()[state.block_table[0].address] = 0x00;
  accept_blocks(rig.view, {ctl::BLOCK_1, ctl::BLOCK_2});
  context.current_chip->slots.on_blank_check(context);
  EXPECT_THAT(rig.view.window.boxes, IsEmpty());

  accept_blocks(rig.view, {ctl::BLOCK_0, ctl::BLOCK_3});
  rig.view.status_texts.clear();
  context.current_chip->slots.on_blank_check(context);
  EXPECT_EQ(rig.view.window.boxes.size(), 1u);
  // Found at the first byte: no progress text, and block 3 was not read.
  EXPECT_THAT(rig.view.status_texts, ElementsAre(u"", u"Проверка завершена..."));
  EXPECT_EQ(context.bus.progress_prefix, nullptr);
}

TEST_P(I28fTest, BlankCheckReadsTheArrayWhateverModeTheChipWasLeftIn) {
  hv_command_write(context.bus, 0x90);  // identifier codes on the bus
  rig.view.dialog_player = [](int, DialogLogic& logic, FakeDialogView& view) {
    logic.on_command(view, command_value(ctl::CANCEL_BUTTON));
  };
  context.current_chip->slots.on_blank_check(context);
  EXPECT_EQ(rig.view.status(), u"Проверка завершена...");

  accept_as_shown(rig.view);
  context.current_chip->slots.on_blank_check(context);
  EXPECT_THAT(rig.view.window.boxes, IsEmpty());
}

}  // namespace
}  // namespace fp::test
