#include "bus/block_ops.h"
#include "chips/highvolt/block_select_dialog.h"
#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {

void i28f_blank_check(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  MainView& view = context.main_view;
  // The plain reads of the check see the array only in read-array mode.
  hv_command_write(bus, I28F_READ_ARRAY);
  bus.progress_prefix = text::VERIFYING;
  view.set_status_text(u"");
  if (block_select_dialog(context, 1)) {
    for (const BlockRange& block : context.highvolt.selected_blocks) {
      if (block.size == 0) break;
      if (bus_blank_check(bus, block.address, block.size) != 0) {
        view.dialog().message_box(text::NOT_BLANK, nullptr, mb::ICON_ERROR);
        break;
      }
    }
  }
  bus.progress_prefix = nullptr;
  view.set_status_text(text::CHECK_DONE);
}

}  // namespace fp
