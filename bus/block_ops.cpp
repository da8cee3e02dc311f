#include "bus/block_ops.h"

namespace fp {
namespace {

void load_start(ProgrammerBus& bus, uint32_t start) {
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(start));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(start >> 8));
}

// Reads the byte at bus_address and leaves the chip driving the bus.
uint8_t read_and_hold(ProgrammerBus& bus) {
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_READ | bus.bus_address.high_bits()));
  return bus.read_nibbles();
}

void release_and_step(ProgrammerBus& bus) {
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_IDLE | bus.bus_address.high_bits()));
  bus.address_step();
}

}  // namespace

void bus_read_block(ProgrammerBus& bus, uint8_t* buffer, uint32_t start, uint32_t count) {
  bus.bus_address.set(start);
  load_start(bus, start);
  for (uint32_t i = 0; i < count; ++i) {
    buffer[i] = read_and_hold(bus);
    release_and_step(bus);
  }
}

void bus_read_block_held(ProgrammerBus& bus, uint8_t* buffer, uint32_t start, uint32_t count) {
  bus.bus_address.set(start);
  load_start(bus, start);
  if (count == 0) return;
  uint8_t high = bus.bus_address.high_bits();
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_READ | high));
  for (uint32_t i = 0;;) {
    buffer[i] = bus.read_nibbles();
    if (++i == count) break;
    bus.address_step();
    if (bus.bus_address.high_bits() != high) {
      high = bus.bus_address.high_bits();
      bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_READ | high));
    }
  }
  // Released with the A16-A18 of the last byte, then stepped past it.
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_IDLE | high));
  bus.address_step();
}

uint32_t bus_verify_block(ProgrammerBus& bus, const uint8_t* buffer, uint32_t start,
                          uint32_t count) {
  bus.bus_address.set(start);
  load_start(bus, start);
  for (uint32_t i = 0; i < count; ++i) {
    if (read_and_hold(bus) != buffer[i]) return 0xFFFFFFFF;
    release_and_step(bus);
  }
  return 0;
}

uint32_t bus_blank_check(ProgrammerBus& bus, uint32_t start, uint32_t count) {
  const bool vpp = bus.bus_address.vpp_flag();
  bus.bus_address.set(start);
  bus.bus_address.set_vpp_flag(vpp);
  load_start(bus, start);
  for (uint32_t remaining = count; remaining != 0; --remaining) {
    if (read_and_hold(bus) != 0xFF) return remaining;
    release_and_step(bus);
  }
  return 0;
}

}  // namespace fp
