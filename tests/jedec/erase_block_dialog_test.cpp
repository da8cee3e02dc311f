// The block choice of the AT49F erase: what the typed address may be, and how
// the dialog keeps the choice apart from the address.
#include "chips/jedec/erase_block_dialog.h"

#include <gtest/gtest.h>

#include "tests/support/programmer_rigs.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace fp::test {
namespace {

TEST(ParseBlockAddress, TakesHexDigitsBelowTheChipSize) {
  EXPECT_EQ(parse_block_address("", 0x40000), 0u);
  EXPECT_EQ(parse_block_address("1C000", 0x40000), 0x1C000u);
  EXPECT_EQ(parse_block_address("3FFFF", 0x40000), 0x3FFFFu);
  // Leading zeros are not significant digits.
  EXPECT_EQ(parse_block_address("00000000001C000", 0x40000), 0x1C000u);
}

TEST(ParseBlockAddress, RefusesWhatWouldEraseAnotherBlock) {
  EXPECT_FALSE(parse_block_address("40000", 0x40000));
  EXPECT_FALSE(parse_block_address("10000", 0x10000));
  // Nine significant digits lose their first one in 32 bits: 1 0000 8000 is not 0x8000.
  EXPECT_FALSE(parse_block_address("100008000", 0x40000));
  EXPECT_FALSE(parse_block_address("FFFFFFFF", 0x40000));
  EXPECT_FALSE(parse_block_address("1c000", 0x40000));
  EXPECT_FALSE(parse_block_address(" 100", 0x40000));
}

class EraseBlockDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_.controls[ctl::BLOCK_ADDRESS] = {u"0", false, true, false};
    logic_.on_init(dialog_);
  }
  void choose_block(std::u16string typed) {
    dialog_.set_checked(ctl::WHOLE_CHIP, false);
    dialog_.set_checked(ctl::ONE_BLOCK, true);
    logic_.on_command(dialog_, command_value(ctl::ONE_BLOCK));
    dialog_.set_text(ctl::BLOCK_ADDRESS, typed);
    logic_.on_command(dialog_, command_value(ctl::OK_BUTTON));
  }
  FakeDialogView dialog_;
  EraseBlockDialog logic_{0x40000};
};

TEST_F(EraseBlockDialogTest, OpensOnWholeChipAndTheRadiosSwitchTheField) {
  EXPECT_TRUE(dialog_.checked(ctl::WHOLE_CHIP));
  logic_.on_command(dialog_, command_value(ctl::ONE_BLOCK));
  EXPECT_TRUE(dialog_.controls[ctl::BLOCK_ADDRESS].enabled);
  logic_.on_command(dialog_, command_value(ctl::WHOLE_CHIP));
  EXPECT_FALSE(dialog_.controls[ctl::BLOCK_ADDRESS].enabled);
  logic_.on_command(dialog_, command_value(ctl::OK_BUTTON));
  EXPECT_EQ(dialog_.ended, BLOCK_CHOICE_WHOLE_CHIP);
  EXPECT_EQ(logic_.choice().target, EraseTarget::whole_chip);
}

TEST_F(EraseBlockDialogTest, AcceptsATypedBlock) {
  choose_block(u"20000");
  EXPECT_EQ(dialog_.ended, 0x20000);
  EXPECT_EQ(logic_.choice().target, EraseTarget::block);
  EXPECT_EQ(logic_.choice().block_address, 0x20000u);
}

TEST_F(EraseBlockDialogTest, RefusesATextTooLongToReadWhole) {
  // Sixteen characters: cut to fifteen it would read as block 0.
  choose_block(u"000000000000001C");
  EXPECT_FALSE(dialog_.ended);
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0],
            (ShownBox{u"Неверное число!", std::nullopt, mb::OK | mb::ICON_ERROR}));
  EXPECT_EQ(dialog_.text(ctl::BLOCK_ADDRESS), u"000000000000001C");
}

TEST_F(EraseBlockDialogTest, CancelAndCloseBoxAreNoErase) {
  logic_.on_command(dialog_, command_value(ctl::CANCEL_BUTTON));
  EXPECT_EQ(dialog_.ended, BLOCK_CHOICE_CANCEL);
  EXPECT_EQ(logic_.choice().target, EraseTarget::none);
  dialog_.ended.reset();
  logic_.on_close(dialog_);
  EXPECT_EQ(dialog_.ended, BLOCK_CHOICE_CANCEL);
}

TEST(ChooseEraseBlock, TakesTheChoiceFromTheDialog) {
  RecordingRig rig;
  rig.view.dialog_player = [](int, DialogLogic& logic, FakeDialogView& dialog) {
    logic.on_command(dialog, command_value(ctl::OK_BUTTON));
  };
  EXPECT_EQ(choose_erase_block(*rig.context).target, EraseTarget::whole_chip);
}

}  // namespace
}  // namespace fp::test
