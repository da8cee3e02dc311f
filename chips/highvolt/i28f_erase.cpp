#include <algorithm>

#include "bus/number_text.h"
#include "chips/highvolt/block_select_dialog.h"
#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {

uint32_t i28f_block_erase(ProgrammerContext& context, uint32_t address) {
  ProgrammerBus& bus = context.bus;
  bus.bus_address.set_vpp_flag(true);
  // Goes to whatever address the latches hold; it switches the voltage on.
  hv_command_write(bus, I28F_CLEAR_STATUS);
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
  bus.bus_address.set(address);
  bus.bus_address.set_vpp_flag(true);
  hv_command_write(bus, I28F_ERASE_SETUP);
  hv_command_write(bus, I28F_ERASE_CONFIRM);

  uint32_t result = SR_ERASE_ERRORS;  // not ready in time
  // Ten polls for the i28F001BX's 10 s; a slower second source polls longer.
  const uint32_t polls =
      std::max(ERASE_POLL_LIMIT, context.current_chip->facts.erase_max_ms / ERASE_POLL_INTERVAL_MS);
  // Every status read comes after a sleep: each erase is a poll that ran
  // into sleeps, the longest of them the slowest erase of the run.
  uint32_t slept_ms = 0;
  for (uint32_t poll = 0; poll < polls; ++poll) {
    context.clock.sleep_ms(ERASE_POLL_INTERVAL_MS);
    slept_ms += ERASE_POLL_INTERVAL_MS;
    hv_command_write(bus, I28F_READ_STATUS);
    const uint8_t status = hv_read_cycle(bus);
    if ((status & SR_READY) != 0) {
      result = status & SR_ERASE_ERRORS;
      break;
    }
  }
  ++context.long_polls.count;
  context.long_polls.longest_ms = std::max(context.long_polls.longest_ms, slept_ms);

  bus.bus_address.set_vpp_flag(false);
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_IDLE | bus.bus_address.high_bits()));
  hv_command_write(bus, I28F_READ_ARRAY);
  return result;
}

std::optional<BlockRange> i28f_erase_blocks(ProgrammerContext& context,
                                            std::span<const BlockRange> blocks) {
  for (const BlockRange& block : blocks) {
    context.main_view.set_status_text(text::ERASING + hex_text(block.address) + u"h");
    if (i28f_block_erase(context, block.address) != 0) return block;
  }
  return std::nullopt;
}

void i28f_erase(ProgrammerContext& context) {
  MainView& view = context.main_view;
  view.set_status_text(u"");
  if (block_select_dialog(context, 0) &&
      i28f_erase_blocks(context, chosen_blocks(context.highvolt))) {
    view.dialog().message_box(text::ERASE_ERROR, nullptr, mb::ICON_ERROR);
  }
  view.set_status_text(u"");
}

}  // namespace fp
