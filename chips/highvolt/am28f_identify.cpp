#include "chips/highvolt/am28f.h"
#include "chips/highvolt/am28f_commands.h"
#include "chips/highvolt/hv_cycles.h"

namespace fp {

ChipCodes am28f_read_id(ProgrammerBus& bus) {
  // The command register listens only while the voltage is on.
  bus.bus_address.set_vpp_flag(true);
  hv_command_write(bus, AM28F_RESET);
  bus.latch_write(LATCH_ADDR_LO, 0x00);
  hv_command_write(bus, AM28F_READ_ID);
  ChipCodes codes{};
  codes.manufacturer = hv_read_cycle(bus);
  bus.latch_write(LATCH_ADDR_LO, 0x01);
  codes.device = hv_read_cycle(bus);
  // The voltage goes off with the first control value of the reset.
  bus.bus_address.set_vpp_flag(false);
  hv_command_write(bus, AM28F_RESET);
  return codes;
}

void am28f_identify(ProgrammerContext& context) {
  show_chip_codes(context, am28f_read_id(context.bus));
}

}  // namespace fp
