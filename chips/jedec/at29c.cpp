#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_handlers.h"
#include "chips/jedec/jedec_waits.h"
#include "chips/jedec/page_write.h"

namespace fp {

uint32_t at29c_page_write(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                          uint32_t count) {
  // Either command lets the page in while the chip's protection is on.
  return load_page(context, address, source, count, page_load_command(context, SEQ_SDP_OFF),
                   PAGE_WRITE_WAIT_MS, AT29C_BYTE_LOAD_LIMIT_US);
}

uint32_t at29c010a_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length) {
  return paged_write(context, buffer, rom_offset, length, AT29C010A_PAGE_SIZE, at29c_page_write);
}

uint32_t at29c040a_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length) {
  return paged_write(context, buffer, rom_offset, length, AT29C040A_PAGE_SIZE, at29c_page_write);
}

uint32_t at29c_row_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length) {
  return paged_write(context, buffer, rom_offset, length, context.current_chip->facts.write_unit,
                     at29c_page_write);
}

}  // namespace fp
