#include "chips/jedec/jedec_waits.h"

#include <algorithm>

#include "chips/jedec/jedec_commands.h"

namespace fp {
namespace {

void note_poll(ProgrammerContext& context, uint32_t slept_ms) {
  if (slept_ms == 0) return;
  ++context.long_polls.count;
  context.long_polls.longest_ms = std::max(context.long_polls.longest_ms, slept_ms);
}

// The toggle bit works whatever the cells end up holding: DATA polling would
// wait out its bound for a stuck bit or a page that protection kept out, and
// call a finished chip not ready. Each read is compared with the one before,
// which after a sleep is read anew.
bool poll_toggle_bit(ProgrammerContext& context, const PollBound& bound,
                     uint8_t* last_read = nullptr) {
  ProgrammerBus& bus = context.bus;
  uint8_t last = bus.bus_read_cycle();
  uint32_t slept_ms = 0;
  const bool ready = poll_until(
      context.clock, bound,
      [&bus, &last](bool slept) {
        if (slept) last = bus.bus_read_cycle();
        const uint8_t now = bus.bus_read_cycle();
        const bool stopped = ((now ^ last) & 0x40) == 0;
        last = now;
        return stopped;
      },
      &slept_ms);
  note_poll(context, slept_ms);
  if (last_read != nullptr) *last_read = last;
  return ready;
}

// The reads that follow go to address: A0-A15 in the latches, A16-A18 with
// each read's control value.
void point_at(ProgrammerBus& bus, uint32_t address) {
  bus.bus_address.set(address);
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
}

}  // namespace

bool wait_for_page_write(ProgrammerContext& context, uint32_t fixed_ms, uint32_t last_address,
                         uint8_t* last_read) {
  if (context.chip_waits == ChipWaits::fixed) {
    context.clock.sleep_ms(fixed_ms);
    return true;
  }
  ProgrammerBus& bus = context.bus;
  // The write loop goes on from the address after the page.
  const BusAddress next = bus.bus_address;
  point_at(bus, last_address);
  context.clock.sleep_ms(BYTE_LOAD_WINDOW_MS);
  const bool ready = poll_toggle_bit(context, PAGE_WRITE_POLL, last_read);
  bus.bus_address = next;
  return ready;
}

bool wait_for_byte_program(ProgrammerContext& context, uint8_t data) {
  ProgrammerBus& bus = context.bus;
  if (context.chip_waits == ChipWaits::fixed) {
    bus.status_port_delay();
    return true;
  }
  // While busy the byte's own address answers bit 7 inverted, so a read equal
  // to the byte is the finished cell; a bit that cannot be programmed leaves
  // it to the toggle bit.
  uint8_t last = bus.bus_read_cycle();
  if (last == data) return true;
  uint32_t slept_ms = 0;
  const bool ready = poll_until(
      context.clock, AT49F_BYTE_PROGRAM_POLL,
      [&bus, &last, data](bool slept) {
        if (slept) last = bus.bus_read_cycle();
        const uint8_t now = bus.bus_read_cycle();
        const bool done = now == data || ((now ^ last) & 0x40) == 0;
        last = now;
        return done;
      },
      &slept_ms);
  note_poll(context, slept_ms);
  return ready;
}

bool wait_for_erase(ProgrammerContext& context, uint32_t fixed_ms, const PollBound& bound,
                    uint32_t poll_address) {
  if (context.chip_waits == ChipWaits::fixed) {
    context.clock.sleep_ms(fixed_ms);
    return true;
  }
  ProgrammerBus& bus = context.bus;
  const BusAddress kept = bus.bus_address;
  point_at(bus, poll_address);
  const bool ready = poll_toggle_bit(context, bound);
  bus.bus_address = kept;
  return ready;
}

}  // namespace fp
