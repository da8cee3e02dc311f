#include "chips/highvolt/block_select_dialog.h"

#include <array>

#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace fp {
namespace {

// Check box of each block_table entry, in entry order.
constexpr std::array<int, 4> BLOCK_BOXES{ctl::BLOCK_0, ctl::BLOCK_1, ctl::BLOCK_2, ctl::BLOCK_3};

}  // namespace

void BlockSelectDialog::on_init(DialogView& view) {
  state_.selected_blocks[0] = BlockRange{};
  if (state_.block_dialog_chip_name != nullptr) {
    view.set_text(ctl::BLOCK_CHIP_NAME, state_.block_dialog_chip_name);
  }
  if (state_.block_labels != nullptr) {
    view.set_text(ctl::BLOCK_3, state_.block_labels[2]);
    view.set_text(ctl::BLOCK_2, state_.block_labels[1]);
    view.set_text(ctl::BLOCK_1, state_.block_labels[0]);
  }
  for (const int box : BLOCK_BOXES) view.set_checked(box, init_ != 0);
}

void BlockSelectDialog::on_command(DialogView& view, uint32_t command) {
  if (command == command_value(ctl::CANCEL_BUTTON)) {
    view.end_dialog(0);
  } else if (command == command_value(ctl::OK_BUTTON)) {
    accept(view);
  }
}

void BlockSelectDialog::on_close(DialogView& view) {
  view.end_dialog(0);
}

void BlockSelectDialog::accept(DialogView& view) {
  size_t count = 0;
  for (size_t entry = 0; entry < BLOCK_BOXES.size(); ++entry) {
    if (view.checked(BLOCK_BOXES[entry])) {
      state_.selected_blocks[count++] = state_.block_table[entry];
    }
  }
  state_.selected_blocks[count] = BlockRange{};
  view.end_dialog(1);
}

std::span<const BlockRange> chosen_blocks(const HighVoltState& state) {
  size_t count = 0;
  while (count < state.selected_blocks.size() && state.selected_blocks[count].size != 0) ++count;
  return std::span<const BlockRange>(state.selected_blocks).first(count);
}

bool block_select_dialog(ProgrammerContext& context, intptr_t init) {
  BlockSelectDialog logic(context.highvolt, init);
  // Only an accepted dialog counts: one that could not be created never
  // emptied the previous choice.
  return context.main_view.run_dialog(dlg::BLOCKS, logic) == 1;
}

}  // namespace fp
