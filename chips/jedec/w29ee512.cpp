#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_handlers.h"
#include "chips/jedec/jedec_waits.h"
#include "chips/jedec/page_write.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {

uint32_t w29ee512_page_write(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                             uint32_t count) {
  // The window sends no command: with the chip's protection on, the chip
  // ignores that page.
  return load_page(context, address, source, count, page_load_command(context, {}),
                   W29EE512_PAGE_WAIT_MS, W29EE512_BYTE_LOAD_LIMIT_US);
}

uint32_t w29ee512_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                        uint32_t length) {
  return paged_write(context, buffer, rom_offset, length, W29EE512_PAGE_SIZE, w29ee512_page_write);
}

uint32_t w29ee_row_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length) {
  return paged_write(context, buffer, rom_offset, length, context.current_chip->facts.write_unit,
                     w29ee512_page_write);
}

bool w29ee512_chip_erase(ProgrammerContext& context) {
  send_sequence(context.bus, SEQ_CHIP_ERASE);
  return wait_for_erase(context, W29EE512_ERASE_WAIT_MS, W29EE512_ERASE_POLL, 0);
}

void w29ee512_erase(ProgrammerContext& context) {
  if (context.main_view.dialog().message_box(text::ERASE_QUESTION, text::PROGRAMMER,
                                             mb::YESNO | mb::ICON_INFORMATION) != answer::YES) {
    return;
  }
  context.main_view.set_status_text(text::ERASING);
  if (!w29ee512_chip_erase(context)) {
    context.main_view.dialog().message_box(text::ERASE_ERROR, nullptr, mb::ICON_ERROR);
    context.main_view.set_status_text(u"");
    return;
  }
  context.main_view.set_status_text(text::ERASE_DONE);
}

}  // namespace fp
