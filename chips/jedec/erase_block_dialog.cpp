#include "chips/jedec/erase_block_dialog.h"

#include <string>

#include "bus/number_text.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

// More digits than this cannot name a 32-bit address.
constexpr size_t MAX_SIGNIFICANT_DIGITS = 8;

}  // namespace

std::optional<uint32_t> parse_block_address(std::string_view text, uint32_t chip_size) {
  const std::optional<uint32_t> value = parse_hex(text);
  if (!value) return std::nullopt;
  const size_t first_significant = text.find_first_not_of('0');
  if (first_significant != std::string_view::npos &&
      text.size() - first_significant > MAX_SIGNIFICANT_DIGITS) {
    return std::nullopt;
  }
  if (*value >= chip_size) return std::nullopt;
  return value;
}

void EraseBlockDialog::on_init(DialogView& view) {
  view.set_checked(ctl::WHOLE_CHIP, true);
}

void EraseBlockDialog::on_command(DialogView& view, uint32_t command) {
  switch (command) {
    case command_value(ctl::WHOLE_CHIP):
      view.set_enabled(ctl::BLOCK_ADDRESS, false);
      break;
    case command_value(ctl::ONE_BLOCK):
      view.set_enabled(ctl::BLOCK_ADDRESS, true);
      break;
    case command_value(ctl::OK_BUTTON):
      accept(view);
      break;
    case command_value(ctl::CANCEL_BUTTON):
      on_close(view);
      break;
    default:
      break;
  }
}

void EraseBlockDialog::on_close(DialogView& view) {
  choice_ = {};
  view.end_dialog(BLOCK_CHOICE_CANCEL);
}

void EraseBlockDialog::accept(DialogView& view) {
  if (view.checked(ctl::WHOLE_CHIP)) {
    choice_ = {EraseTarget::whole_chip, 0};
    view.end_dialog(BLOCK_CHOICE_WHOLE_CHIP);
    return;
  }
  // A longer text would be cut short and name another block than the one typed.
  std::optional<uint32_t> address;
  if (view.text(ctl::BLOCK_ADDRESS).size() <= BLOCK_TEXT_MAX_LENGTH) {
    address = parse_block_address(view.text_8bit(ctl::BLOCK_ADDRESS, BLOCK_TEXT_MAX_LENGTH + 1),
                                  chip_size_);
  }
  if (!address) {
    view.message_box(text::BAD_NUMBER, nullptr, mb::OK | mb::ICON_ERROR);
    return;
  }
  choice_ = {EraseTarget::block, *address};
  view.end_dialog(static_cast<intptr_t>(*address));
}

EraseChoice choose_erase_block(ProgrammerContext& context) {
  EraseBlockDialog dialog(context.chip_size);
  context.main_view.run_dialog(dlg::ERASE_BLOCK, dialog);
  return dialog.choice();
}

}  // namespace fp
