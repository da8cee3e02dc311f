#include "chips/common/common_handlers.h"

#include "bus/block_ops.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {

ReadResult default_read(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                        uint32_t length) {
  bus_read_block(context.bus, buffer, rom_offset, length);
  return ReadResult::done;
}

uint32_t default_verify(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                        uint32_t length) {
  return bus_verify_block(context.bus, buffer, rom_offset, length);
}

bool whole_chip_blank(ProgrammerContext& context) {
  context.bus.progress_prefix = text::VERIFYING;
  const uint32_t remaining = bus_blank_check(context.bus, 0, context.chip_size);
  context.bus.progress_prefix = nullptr;
  return remaining == 0;
}

void whole_chip_blank_check(ProgrammerContext& context) {
  if (whole_chip_blank(context)) {
    context.main_view.dialog().message_box(text::BLANK, text::PROGRAMMER, mb::OK);
  } else {
    context.main_view.dialog().message_box(text::NOT_BLANK, text::PROGRAMMER, mb::ICON_INFORMATION);
  }
}

}  // namespace fp
