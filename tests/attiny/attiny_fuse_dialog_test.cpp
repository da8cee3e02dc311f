// The "ATTINY2313" dialog against the simulated chip.
#include "chips/attiny/attiny_fuse_dialog.h"

#include <gtest/gtest.h>

#include "chips/attiny/attiny_handlers.h"
#include "tests/attiny/attiny_rig.h"
#include "tests/attiny/hvpp_tokens.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

using Tokens = std::vector<std::string>;

const BitBoxes LOW{1070, 1071, 1072, 1073, 1074, 1075, 1076, 1077};
const BitBoxes HIGH{1080, 1081, 1082, 1083, 1084, 1085, 1086, 1087};
const BitBoxes EXTENDED{1090, 1091, 1092, 1093, 1094, 1095, 1096, 1097};
const BitBoxes LOCK{1060, 1061, 1062, 1063, 1064, 1065, 1066, 1067};

struct Shown {
  std::u16string signature, calibration;
  uint8_t low, high, extended, lock;
};

Shown shown(FakeDialogView& dialog) {
  return {dialog.text(ctl::SIGNATURE),       dialog.text(ctl::CALIBRATION_BYTE),
          get_check_boxes(dialog, LOW),      get_check_boxes(dialog, HIGH),
          get_check_boxes(dialog, EXTENDED), get_check_boxes(dialog, LOCK)};
}

std::array<uint8_t, 4> chip_fuses(SimulatedAttiny& rig) {
  const sim::FuseBytes fuses = *rig.chip->fuses();
  return {fuses.low, fuses.high, fuses.extended, fuses.lock};
}

// Opens the dialog, lets play act on it, then closes it as the operator would.
void with_dialog(SimulatedAttiny& rig,
                 const std::function<void(DialogLogic&, FakeDialogView&)>& play) {
  rig.view.dialog_player = [&](int, DialogLogic& logic, FakeDialogView& dialog) {
    play(logic, dialog);
  };
  attiny_identify(*rig.context);
}

void click(DialogLogic& logic, FakeDialogView& dialog, int id) {
  logic.on_command(dialog, command_value(id));
}

TEST(AttinyFuseDialog, ReadsEachByteUnderItsCommandAndSelect) {
  SimulatedAttiny rig;
  with_dialog(rig, [](DialogLogic&, FakeDialogView&) {});
  EXPECT_EQ(hvpp_tokens(hvpp_events(rig.recorder)),
            (Tokens{"enter", "cmd 08", "lo 00", "read 00", "lo 01", "read 00", "lo 02", "read 00",
                    "lo 00", "read 04", "cmd 04", "read 00", "read 05", "read 01", "read 04"}));
}

TEST(AttinyFuseDialog, ShowsASmallCalibrationByteWithOneDigit) {
  SimulatedAttiny rig;
  rig.chip->set_calibration(0x07);
  std::u16string calibration;
  with_dialog(rig, [&](DialogLogic&, FakeDialogView& dialog) {
    calibration = dialog.text(ctl::CALIBRATION_BYTE);
  });
  EXPECT_EQ(calibration, u"7");
}

TEST(AttinyFuseDialog, FuseWriteSendsAllThreeBytesAsTheBoxesStandThenReadsBack) {
  SimulatedAttiny rig;
  Shown after{};
  with_dialog(rig, [&](DialogLogic& logic, FakeDialogView& dialog) {
    dialog.set_checked(1077, true);   // CKDIV8 unprogrammed
    dialog.set_checked(1086, false);  // EESAVE programmed
    dialog.set_checked(1097, false);  // an extended bit the chip does not have
    rig.recorder.clear();
    click(logic, dialog, ctl::WRITE_FUSES);
    after = shown(dialog);
  });
  const Tokens tokens = hvpp_tokens(hvpp_events(rig.recorder));
  ASSERT_GE(tokens.size(), 8u);
  EXPECT_EQ(
      Tokens(tokens.begin(), tokens.begin() + 8),
      (Tokens{"cmd 40", "dlo E4", "byte 00", "dlo 9F", "byte 04", "dlo 7F", "byte 01", "cmd 08"}));
  EXPECT_EQ(count_tokens(tokens, "enter"), 0u);
  EXPECT_EQ(chip_fuses(rig), (std::array<uint8_t, 4>{0xE4, 0x9F, 0xFF, 0xFF}));
  EXPECT_EQ(after.low, 0xE4);
  EXPECT_EQ(after.high, 0x9F);
  EXPECT_EQ(after.extended, 0xFF);
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyFuseDialog, LockWriteAnsweredYesProgramsTheLockByteThenReadsBack) {
  SimulatedAttiny rig;
  uint8_t shown_lock = 0;
  with_dialog(rig, [&](DialogLogic& logic, FakeDialogView& dialog) {
    dialog.answers = {answer::YES};
    dialog.set_checked(1060, false);  // LB1
    dialog.set_checked(1061, false);  // LB2
    rig.recorder.clear();
    click(logic, dialog, ctl::WRITE_LOCK);
    shown_lock = get_check_boxes(dialog, LOCK);
  });
  EXPECT_TRUE(rig.view.window.boxes.empty());  // the question belongs to the dialog
  const Tokens tokens = hvpp_tokens(hvpp_events(rig.recorder));
  ASSERT_GE(tokens.size(), 4u);
  EXPECT_EQ(Tokens(tokens.begin(), tokens.begin() + 4),
            (Tokens{"cmd 20", "dlo FC", "byte 00", "cmd 08"}));
  EXPECT_EQ(rig.chip->fuses()->lock, 0xFC);
  EXPECT_EQ(shown_lock, 0xFC);
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST(AttinyFuseDialog, ClosingWritesNothing) {
  for (const int how : {ctl::OK_BUTTON, ctl::CANCEL_BUTTON, 0}) {
    SimulatedAttiny rig;
    std::optional<intptr_t> ended;
    with_dialog(rig, [&](DialogLogic& logic, FakeDialogView& dialog) {
      dialog.set_checked(1070, true);
      rig.recorder.clear();
      if (how == 0) {
        logic.on_close(dialog);
      } else {
        click(logic, dialog, how);
      }
      ended = dialog.ended;
    });
    EXPECT_EQ(ended, 0) << how;
    EXPECT_TRUE(rig.recorder.accesses().empty()) << how;
    EXPECT_EQ(rig.chip->fuses()->low, 0x64) << how;
  }
}

TEST(AttinyFuseDialog, OnlyClicksAct) {
  SimulatedAttiny rig;
  with_dialog(rig, [&](DialogLogic& logic, FakeDialogView& dialog) {
    rig.recorder.clear();
    logic.on_command(dialog, command_value(ctl::WRITE_FUSES, 1));
    logic.on_command(dialog, command_value(ctl::OK_BUTTON, 1));
    EXPECT_FALSE(dialog.ended.has_value());
  });
  EXPECT_TRUE(rig.recorder.accesses().empty());
}

}  // namespace
}  // namespace fp::test
