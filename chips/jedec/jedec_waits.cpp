#include "chips/jedec/jedec_waits.h"

#include "chips/jedec/jedec_commands.h"

namespace fp {
namespace {

// The toggle bit works whatever the cells end up holding: DATA polling would
// wait out its bound for a stuck bit or a page that protection kept out, and
// call a finished chip not ready.
bool toggle_stopped(ProgrammerBus& bus) {
  const uint8_t first = bus.bus_read_cycle();
  const uint8_t second = bus.bus_read_cycle();
  return ((first ^ second) & 0x40) == 0;
}

}  // namespace

bool wait_for_page_write(ProgrammerContext& context, uint32_t fixed_ms, uint32_t last_address) {
  if (context.chip_waits == ChipWaits::fixed) {
    context.clock.sleep_ms(fixed_ms);
    return true;
  }
  ProgrammerBus& bus = context.bus;
  // The write loop goes on from the address after the page.
  const BusAddress next = bus.bus_address;
  bus.bus_address.set(last_address);
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(last_address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(last_address >> 8));
  context.clock.sleep_ms(BYTE_LOAD_WINDOW_MS);
  const bool ready =
      poll_until(context.clock, PAGE_WRITE_POLL, [&bus] { return toggle_stopped(bus); });
  bus.bus_address = next;
  return ready;
}

bool wait_for_erase(ProgrammerContext& context, uint32_t fixed_ms, const PollBound& bound) {
  if (context.chip_waits == ChipWaits::fixed) {
    context.clock.sleep_ms(fixed_ms);
    return true;
  }
  ProgrammerBus& bus = context.bus;
  return poll_until(context.clock, bound, [&bus] { return toggle_stopped(bus); });
}

}  // namespace fp
