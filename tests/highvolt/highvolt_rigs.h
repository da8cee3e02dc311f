// Helpers shared by the high-voltage family's tests.
#pragma once

#include <initializer_list>
#include <set>

#include "tests/support/programmer_rigs.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace fp::test {

// Plays "Выбор блоков": checks exactly the given boxes, then presses OK.
inline void accept_blocks(FakeMainView& view, std::initializer_list<int> boxes) {
  const std::set<int> wanted(boxes);
  view.dialog_player = [wanted](int, DialogLogic& logic, FakeDialogView& dialog) {
    for (const int box : {ctl::BLOCK_0, ctl::BLOCK_1, ctl::BLOCK_2, ctl::BLOCK_3}) {
      dialog.set_checked(box, wanted.contains(box));
    }
    logic.on_command(dialog, command_value(ctl::OK_BUTTON));
  };
}

// Plays "Выбор блоков": presses OK on the boxes as the dialog set them.
inline void accept_as_shown(FakeMainView& view) {
  view.dialog_player = [](int, DialogLogic& logic, FakeDialogView& dialog) {
    logic.on_command(dialog, command_value(ctl::OK_BUTTON));
  };
}

}  // namespace fp::test
