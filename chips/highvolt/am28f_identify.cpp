#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_handlers.h"

namespace fp {

ChipCodes am28f_read_id(ProgrammerBus& bus) {
  // The command register listens only while the voltage is on.
  bus.bus_address.set_vpp_flag(true);
  hv_command_write(bus, AM28F_RESET);
  const ChipCodes codes = hv_read_codes(bus, AM28F_READ_ID);
  // The reset is written while the chip still listens; without the voltage
  // the chip is a read-only memory and a write cycle would go nowhere.
  hv_command_write(bus, AM28F_RESET);
  bus.bus_address.set_vpp_flag(false);
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_IDLE | bus.bus_address.high_bits()));
  return codes;
}

void am28f_identify(ProgrammerContext& context) {
  show_chip_codes(context, am28f_read_id(context.bus));
}

}  // namespace fp
