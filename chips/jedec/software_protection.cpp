#include <span>
#include <vector>

#include "bus/block_ops.h"
#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_handlers.h"

namespace fp {
namespace {

// The bytes of the page that the command's page load rewrites, as the chip
// holds them now. Read at the normal priority class, before the load.
std::vector<uint8_t> read_first_page(ProgrammerBus& bus, uint32_t page_length) {
  std::vector<uint8_t> page(page_length);
  const BusAddress kept = bus.bus_address;
  bus_read_block(bus, page.data(), 0, page_length);
  bus.bus_address = kept;
  return page;
}

void protection_page_load(ProgrammerContext& context, std::span<const BusCycle> command) {
  ProgrammerBus& bus = context.bus;
  // param is the chip's page length; 0 on the byte-programmed chips, which get
  // a single 0xFF cycle at 0x00FF (programming 0xFF changes no cell).
  const uint32_t page_length = context.current_chip->param;
  const std::vector<uint8_t> page =
      page_length > 0 ? read_first_page(bus, page_length) : std::vector<uint8_t>();

  context.priority.set_priority_class(PriorityClass::high);
  send_sequence(bus, command);
  bus.latch_write(LATCH_ADDR_MID, 0x00);
  if (page_length == 0) {
    bus.latch_write(LATCH_ADDR_LO, 0xFF);
    data_cycle(bus, 0xFF, 0);
  } else {
    // Descending addresses, as the load has always been sent.
    for (uint32_t n = page_length; n-- > 0;) {
      bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(n));
      data_cycle(bus, page[n], 0);
    }
  }
  context.priority.set_priority_class(PriorityClass::normal);
  context.clock.sleep_ms(PAGE_WRITE_WAIT_MS);
}

}  // namespace

void sdp_on(ProgrammerContext& context) {
  protection_page_load(context, SEQ_PROGRAM);
}

void sdp_off(ProgrammerContext& context) {
  protection_page_load(context, SEQ_SDP_OFF);
}

}  // namespace fp
