#include "chips/highvolt/highvolt_bus.h"

namespace fp {
namespace {

// The voltage bit and A16-A18 that travel in every control value.
uint8_t control_flags(const BusAddress& address) {
  return static_cast<uint8_t>(address.flags() | address.high_bits());
}

}  // namespace

void hv_command_write(ProgrammerBus& bus, uint8_t value) {
  const uint8_t flags = control_flags(bus.bus_address);
  bus.latch_write(LATCH_DATA, value);
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_WRITE_SETUP | flags));
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_WRITE_PULSE | flags));
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_IDLE | flags));
}

uint8_t hv_read_cycle(ProgrammerBus& bus) {
  const uint8_t flags = control_flags(bus.bus_address);
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_READ | flags));
  const uint8_t value = bus.read_nibbles();
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_IDLE | flags));
  return value;
}

ChipCodes hv_read_codes(ProgrammerBus& bus, uint8_t read_id_command) {
  bus.latch_write(LATCH_ADDR_LO, 0x00);
  hv_command_write(bus, read_id_command);
  ChipCodes codes{};
  codes.manufacturer = hv_read_cycle(bus);
  bus.latch_write(LATCH_ADDR_LO, 0x01);
  codes.device = hv_read_cycle(bus);
  return codes;
}

}  // namespace fp
