// Block maps of the two i28F001BX rows and the "Выбор блоков" dialog.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chips/highvolt/block_select_dialog.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "tests/highvolt/highvolt_rigs.h"
#include "ui/dialog_templates.h"

namespace fp::test {
namespace {

using ::testing::ElementsAre;

std::vector<std::u16string> labels(const HighVoltState& state) {
  return {state.block_labels[0], state.block_labels[1], state.block_labels[2]};
}

TEST(BlockMap, EachRowLoadsItsMapAndTheLastSelectionWins) {
  RecordingRig rig;
  const HighVoltState& state = rig.context->highvolt;

  rig.select(u"i28F001BX-B");
  EXPECT_EQ(state.block_table[3], (BlockRange{0x4000, 0x1C000}));
  EXPECT_THAT(labels(state), ElementsAre(u"02000h", u"03000h", u"04000h"));
  EXPECT_EQ(std::u16string(state.block_dialog_chip_name), u"i28F001BX-B");

  rig.select(u"i28F001BX-T");
  EXPECT_EQ(state.block_table[0], (BlockRange{0x0, 0x1C000}));
  EXPECT_EQ(state.block_table[3], (BlockRange{0x1E000, 0x2000}));
  EXPECT_THAT(labels(state), ElementsAre(u"1C000h", u"1D000h", u"1E000h"));

  // A row of another family leaves the map alone.
  rig.select(u"AM28F001");
  EXPECT_EQ(state.block_table[3], (BlockRange{0x1E000, 0x2000}));
  EXPECT_EQ(std::u16string(state.block_dialog_chip_name), u"i28F001BX-T");
  EXPECT_TRUE(rig.recorder.accesses().empty());
}

// The dialog as the fake main window shows it, from its template.
struct BlockDialogTest : ::testing::Test {
  RecordingRig rig;
  HighVoltState& state = rig.context->highvolt;

  FakeDialogView open(BlockSelectDialog& logic) {
    FakeDialogView view;
    for (const ControlTemplate& control : find_dialog_template(dlg::BLOCKS)->controls) {
      view.controls[control.id] = {control.text, false, true, true};
    }
    logic.on_init(view);
    return view;
  }
};

TEST_F(BlockDialogTest, OpensWithTheChipsLabelsAndAllBoxesAsAsked) {
  rig.select(u"i28F001BX-B");
  for (const intptr_t init : {0, 1}) {
    BlockSelectDialog logic(state, init);
    FakeDialogView view = open(logic);
    EXPECT_EQ(view.text(ctl::BLOCK_CHIP_NAME), u"i28F001BX-B");
    EXPECT_EQ(view.text(ctl::BLOCK_0), u"00000h");
    EXPECT_EQ(view.text(ctl::BLOCK_1), u"02000h");
    EXPECT_EQ(view.text(ctl::BLOCK_3), u"04000h");
    for (const int box : {ctl::BLOCK_0, ctl::BLOCK_1, ctl::BLOCK_2, ctl::BLOCK_3}) {
      EXPECT_EQ(view.checked(box), init == 1) << box;
    }
  }
}

TEST_F(BlockDialogTest, OkListsTheCheckedBlocksInBoxOrderThenTheEnd) {
  rig.select(u"i28F001BX-T");
  BlockSelectDialog logic(state, 0);
  FakeDialogView view = open(logic);
  view.set_checked(ctl::BLOCK_3, true);
  view.set_checked(ctl::BLOCK_0, true);
  logic.on_command(view, command_value(ctl::OK_BUTTON));

  EXPECT_EQ(view.ended, 1);
  EXPECT_THAT(state.selected_blocks,
              ElementsAre(BlockRange{0, 0x1C000}, BlockRange{0x1E000, 0x2000}, BlockRange{0, 0},
                          ::testing::_, ::testing::_));
}

TEST_F(BlockDialogTest, CancelCloseAndOtherNotificationsChooseNothing) {
  rig.select(u"i28F001BX-T");
  state.selected_blocks[0] = {0x1C000, 0x1000};  // left from an earlier choice

  BlockSelectDialog logic(state, 1);
  FakeDialogView view = open(logic);
  EXPECT_EQ(state.selected_blocks[0].size, 0u);  // opening empties the old choice

  logic.on_command(view, command_value(ctl::OK_BUTTON, 5));  // not a click
  EXPECT_FALSE(view.ended.has_value());
  logic.on_command(view, command_value(ctl::CANCEL_BUTTON));
  EXPECT_EQ(view.ended, 0);

  FakeDialogView closed = open(logic);
  logic.on_close(closed);
  EXPECT_EQ(closed.ended, 0);
  EXPECT_EQ(state.selected_blocks[0].size, 0u);
}

TEST_F(BlockDialogTest, RunsAsTemplate1029WithTheOperationsInitValue) {
  rig.select(u"i28F001BX-T");
  intptr_t seen_init = -1;
  rig.view.dialog_player = [&](int, DialogLogic& logic, FakeDialogView& view) {
    seen_init = static_cast<BlockSelectDialog&>(logic).init();
    logic.on_command(view, command_value(ctl::OK_BUTTON));
  };
  EXPECT_TRUE(block_select_dialog(*rig.context, 1));
  EXPECT_EQ(seen_init, 1);
  EXPECT_THAT(rig.view.dialogs_run, ElementsAre(dlg::BLOCKS));
  EXPECT_EQ(state.selected_blocks[3], (BlockRange{0x1E000, 0x2000}));
  EXPECT_EQ(state.selected_blocks[4].size, 0u);
}

}  // namespace
}  // namespace fp::test
