#include "chips/attiny/attiny_fuse_dialog.h"

#include <string>

#include "bus/number_text.h"
#include "chips/attiny/attiny_bus.h"
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

// Under CMD_READ_SIGNATURE the address picks the signature byte; BS1 gives
// the calibration byte.
constexpr uint8_t SIGNATURE_BYTES = 3;
constexpr uint8_t READ_SIGNATURE = HV_SELECT_NONE;
constexpr uint8_t READ_CALIBRATION = HV_SELECT_BS1;

// Under CMD_READ_FUSE_LOCK the select alone picks the byte. The fuse high
// byte is read with BS2 and BS1 but written with BS1 alone.
constexpr uint8_t READ_FUSE_LOW = HV_SELECT_NONE;
constexpr uint8_t READ_FUSE_HIGH = HV_SELECT_BS2_BS1;
constexpr uint8_t READ_FUSE_EXTENDED = HV_SELECT_BS2;
constexpr uint8_t READ_LOCK = HV_SELECT_BS1;

constexpr uint8_t WRITE_FUSE_LOW = HV_SELECT_NONE;
constexpr uint8_t WRITE_FUSE_HIGH = HV_SELECT_BS1;
constexpr uint8_t WRITE_FUSE_EXTENDED = HV_SELECT_BS2;
constexpr uint8_t WRITE_LOCK = HV_SELECT_NONE;

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
  ProgrammerContext& c = context_;
  hvpp_load_command(c, CMD_READ_SIGNATURE);
  std::u16string signature;
  for (uint8_t address = 0; address < SIGNATURE_BYTES; ++address) {
    if (address != 0) signature += u'-';
    signature += hex_text(hvpp_read_at(c, address, READ_SIGNATURE));
  }
  dialog.set_text(ctl::SIGNATURE, signature);
  dialog.set_text(ctl::CALIBRATION_BYTE, hex_text(hvpp_read_at(c, 0, READ_CALIBRATION)));

  hvpp_load_command(c, CMD_READ_FUSE_LOCK);
  set_check_boxes(hvpp_read(c, READ_FUSE_LOW), dialog, FUSE_LOW_BOXES);
  set_check_boxes(hvpp_read(c, READ_FUSE_HIGH), dialog, FUSE_HIGH_BOXES);
  set_check_boxes(hvpp_read(c, READ_FUSE_EXTENDED), dialog, FUSE_EXTENDED_BOXES);
  set_check_boxes(hvpp_read(c, READ_LOCK), dialog, LOCK_BOXES);
}

void AttinyFuseDialog::write_fuses(DialogView& dialog) {
  // Programming mode is still on from the opening of the dialog.
  hvpp_load_command(context_, CMD_WRITE_FUSE);
  hvpp_program_byte(context_, get_check_boxes(dialog, FUSE_LOW_BOXES), WRITE_FUSE_LOW);
  hvpp_program_byte(context_, get_check_boxes(dialog, FUSE_HIGH_BOXES), WRITE_FUSE_HIGH);
  hvpp_program_byte(context_, get_check_boxes(dialog, FUSE_EXTENDED_BOXES), WRITE_FUSE_EXTENDED);
  refresh(dialog);
}

void AttinyFuseDialog::write_lock(DialogView& dialog) {
  // Programmed lock bits come back only with a chip erase, hence the question.
  const int answer = dialog.message_box(text::ARE_YOU_SURE, text::PROGRAMMER,
                                        mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2);
  if (answer != answer::YES) return;
  hvpp_load_command(context_, CMD_WRITE_LOCK);
  hvpp_program_byte(context_, get_check_boxes(dialog, LOCK_BOXES), WRITE_LOCK);
  refresh(dialog);
}

void attiny_identify(ProgrammerContext& context) {
  AttinyFuseDialog dialog(context);
  context.main_view.run_dialog(dlg::ATTINY_FUSES, dialog);
}

}  // namespace fp
