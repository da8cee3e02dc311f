#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_handlers.h"

namespace fp {

uint32_t am28f_program_byte(ProgrammerBus& bus, uint8_t value) {
  for (uint32_t pulse = 0; pulse < AM28F_PROGRAM_PULSE_LIMIT; ++pulse) {
    hv_command_write(bus, AM28F_PROGRAM_SETUP);
    hv_command_write(bus, value);  // the program pulse runs from here
    bus.status_port_delay();
    hv_command_write(bus, AM28F_PROGRAM_VERIFY);  // to here
    bus.status_port_delay();
    if (hv_read_cycle(bus) == value) return 0;
  }
  return 1;
}

uint32_t am28f_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t block_length) {
  ProgrammerBus& bus = context.bus;
  // The voltage comes on with the first control value of the first pulse.
  bus.bus_address.set(rom_offset);
  bus.bus_address.set_vpp_flag(true);
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(rom_offset));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(rom_offset >> 8));

  uint32_t result = 0;
  for (uint32_t i = 0; i < block_length; ++i) {
    result = am28f_program_byte(bus, buffer[i]);
    if (result != 0) break;
    bus.address_step();
  }

  bus.bus_reset();
  return result;
}

}  // namespace fp
