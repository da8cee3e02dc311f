#include "bus/block_ops.h"
#include "chips/highvolt/block_select_dialog.h"
#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

// The plain reads of the check see the array only in read-array mode.
void begin_blank_check(ProgrammerBus& bus) {
  hv_command_write(bus, I28F_READ_ARRAY);
  bus.progress_prefix = text::VERIFYING;
}

std::optional<BlockRange> first_block_not_blank(ProgrammerBus& bus,
                                                std::span<const BlockRange> blocks) {
  for (const BlockRange& block : blocks) {
    if (bus_blank_check(bus, block.address, block.size) != 0) return block;
  }
  return std::nullopt;
}

}  // namespace

std::optional<BlockRange> i28f_blank_check_blocks(ProgrammerContext& context,
                                                  std::span<const BlockRange> blocks) {
  begin_blank_check(context.bus);
  const std::optional<BlockRange> found = first_block_not_blank(context.bus, blocks);
  context.bus.progress_prefix = nullptr;
  return found;
}

void i28f_blank_check(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  MainView& view = context.main_view;
  begin_blank_check(bus);
  view.set_status_text(u"");
  if (block_select_dialog(context, 1) &&
      first_block_not_blank(bus, chosen_blocks(context.highvolt))) {
    view.dialog().message_box(text::NOT_BLANK, nullptr, mb::ICON_ERROR);
  }
  bus.progress_prefix = nullptr;
  view.set_status_text(text::CHECK_DONE);
}

}  // namespace fp
