#include "chips/attiny/attiny_fuse_dialog.h"

#include <string>

#include "bus/number_text.h"
#include "chips/attiny/attiny_bus.h"
#include "chips/attiny/attiny_fuses.h"
#include "chips/attiny/attiny_handlers.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

constexpr BitBoxes column(int first_id) {
  BitBoxes boxes{};
  for (int bit = 0; bit < 8; ++bit) boxes[static_cast<size_t>(bit)] = first_id + bit;
  return boxes;
}

constexpr BitBoxes FUSE_LOW_BOXES = column(ctl::FUSE_LOW_BIT0);
constexpr BitBoxes FUSE_HIGH_BOXES = column(ctl::FUSE_HIGH_BIT0);
constexpr BitBoxes FUSE_EXTENDED_BOXES = column(ctl::FUSE_EXTENDED_BIT0);
constexpr BitBoxes LOCK_BOXES = column(ctl::LOCK_BIT0);

}  // namespace

void set_check_boxes(uint8_t value, DialogView& dialog, const BitBoxes& boxes) {
  for (size_t bit = 0; bit < boxes.size(); ++bit) {
    dialog.set_checked(boxes[bit], ((value >> bit) & 1) != 0);
  }
}

uint8_t get_check_boxes(DialogView& dialog, const BitBoxes& boxes) {
  uint8_t value = 0;
  for (size_t bit = 0; bit < boxes.size(); ++bit) {
    if (dialog.checked(boxes[bit])) value = static_cast<uint8_t>(value | (1u << bit));
  }
  return value;
}

void AttinyFuseDialog::on_init(DialogView& dialog) {
  hvpp_enter(context_);
  refresh(dialog);
}

void AttinyFuseDialog::on_close(DialogView& dialog) {
  dialog.end_dialog(0);
}

void AttinyFuseDialog::on_command(DialogView& dialog, uint32_t command) {
  switch (command) {
    case command_value(ctl::OK_BUTTON):
    case command_value(ctl::CANCEL_BUTTON):
      dialog.end_dialog(0);
      break;
    case command_value(ctl::WRITE_FUSES):
      write_fuses(dialog);
      break;
    case command_value(ctl::WRITE_LOCK):
      write_lock(dialog);
      break;
    default:
      break;
  }
}

void AttinyFuseDialog::refresh(DialogView& dialog) {
  const AttinyBytes bytes = attiny_read_bytes(context_);
  std::u16string signature;
  for (size_t i = 0; i < bytes.signature.size(); ++i) {
    if (i != 0) signature += u'-';
    signature += hex_text(bytes.signature[i]);
  }
  dialog.set_text(ctl::SIGNATURE, signature);
  dialog.set_text(ctl::CALIBRATION_BYTE, hex_text(bytes.calibration));
  set_check_boxes(bytes.fuses.low, dialog, FUSE_LOW_BOXES);
  set_check_boxes(bytes.fuses.high, dialog, FUSE_HIGH_BOXES);
  set_check_boxes(bytes.fuses.extended, dialog, FUSE_EXTENDED_BOXES);
  set_check_boxes(bytes.lock, dialog, LOCK_BOXES);
}

void AttinyFuseDialog::write_fuses(DialogView& dialog) {
  // Programming mode is still on from the opening of the dialog.
  attiny_program_fuses(
      context_, {get_check_boxes(dialog, FUSE_LOW_BOXES), get_check_boxes(dialog, FUSE_HIGH_BOXES),
                 get_check_boxes(dialog, FUSE_EXTENDED_BOXES)});
  refresh(dialog);
}

void AttinyFuseDialog::write_lock(DialogView& dialog) {
  // Programmed lock bits come back only with a chip erase, hence the question.
  const int answer = dialog.message_box(text::ARE_YOU_SURE, text::PROGRAMMER,
                                        mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2);
  if (answer != answer::YES) return;
  attiny_program_lock(context_, get_check_boxes(dialog, LOCK_BOXES));
  refresh(dialog);
}

void attiny_identify(ProgrammerContext& context) {
  AttinyFuseDialog dialog(context);
  context.main_view.run_dialog(dlg::ATTINY_FUSES, dialog);
}

}  // namespace fp
