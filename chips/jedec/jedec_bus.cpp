#include "chips/jedec/jedec_bus.h"

namespace fp {

void jedec_write(ProgrammerBus& bus, uint16_t address, uint8_t data) {
  bus.latch_write(LATCH_DATA, data);
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
  write_strobe(bus, 0);
}

void send_sequence(ProgrammerBus& bus, std::span<const BusCycle> sequence) {
  for (const BusCycle& cycle : sequence) jedec_write(bus, cycle.address, cycle.data);
}

void write_strobe(ProgrammerBus& bus, uint8_t high_bits) {
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_WRITE_SETUP | high_bits));
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_WRITE_PULSE | high_bits));
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_IDLE | high_bits));
}

void data_cycle(ProgrammerBus& bus, uint8_t data, uint8_t high_bits) {
  bus.latch_write(LATCH_DATA, data);
  write_strobe(bus, high_bits);
}

JedecId read_jedec_id(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  send_sequence(bus, SEQ_ID_ENTRY);
  context.clock.sleep_ms(ID_MODE_WAIT_MS);
  // A8-A15 keep the 0x55 of the last command cycle: the codes repeat through
  // the address space, only A0 tells them apart.
  bus.latch_write(LATCH_ADDR_LO, 0x00);
  const uint8_t manufacturer = bus.bus_read_cycle();
  bus.latch_write(LATCH_ADDR_LO, 0x01);
  const uint8_t device = bus.bus_read_cycle();
  send_sequence(bus, SEQ_ID_EXIT);
  context.clock.sleep_ms(ID_MODE_WAIT_MS);
  return {manufacturer, device};
}

}  // namespace fp
