#include <vector>

#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_handlers.h"
#include "chips/jedec/jedec_waits.h"
#include "chips/jedec/page_write.h"

namespace fp {

bool at29c_page_write(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                      uint32_t count) {
  // Copied before the priority is raised: nothing but port writes may come
  // between two data cycles of a page.
  const std::vector<uint8_t> page(source, source + count);
  ProgrammerBus& bus = context.bus;
  context.priority.set_priority_class(PriorityClass::high);
  bus.bus_address.set(address);
  const uint8_t high_bits = bus.bus_address.high_bits();
  // Either command lets the page in while the chip's protection is on.
  send_sequence(bus, page_load_command(context, SEQ_SDP_OFF));
  send_page_data(bus, page.data(), count, high_bits);
  context.priority.set_priority_class(PriorityClass::normal);
  return wait_for_page_write(context, PAGE_WRITE_WAIT_MS, address + count - 1);
}

uint32_t at29c010a_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length) {
  return paged_write(context, buffer, rom_offset, length, AT29C010A_PAGE_SIZE, at29c_page_write);
}

uint32_t at29c040a_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                         uint32_t length) {
  return paged_write(context, buffer, rom_offset, length, AT29C040A_PAGE_SIZE, at29c_page_write);
}

}  // namespace fp
