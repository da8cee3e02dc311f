#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

// Brings every byte to 0x00, so that the erase pulses start from cells that
// are all programmed: erasing an unprogrammed cell over-erases it.
bool program_all_to_zero(ProgrammerBus& bus, uint32_t chip_size) {
  for (uint32_t address = 0; address < chip_size; ++address) {
    if (hv_read_cycle(bus) != 0x00) {
      const uint32_t result = am28f_program_byte(bus, 0x00);
      hv_command_write(bus, AM28F_RESET);
      if (result != 0) return false;
    }
    if (address + 1 < chip_size) bus.address_step();
  }
  return true;
}

// Pulses and verifies until every byte reads 0xFF. The pulses are shared by
// the whole chip; after a pulse the verify goes on from the byte that failed.
bool erase_and_verify(ProgrammerBus& bus, Clock& clock, uint32_t chip_size) {
  uint32_t pulses_left = AM28F_ERASE_PULSE_LIMIT;
  uint32_t address = 0;
  while (true) {
    if (pulses_left == 0) return false;
    --pulses_left;
    hv_command_write(bus, AM28F_ERASE);
    hv_command_write(bus, AM28F_ERASE);
    clock.sleep_ms(AM28F_ERASE_PULSE_MS);
    while (true) {
      hv_command_write(bus, AM28F_ERASE_VERIFY);
      bus.status_port_delay();
      if (hv_read_cycle(bus) != 0xFF) break;
      if (address + 1 >= chip_size) return true;
      ++address;
      bus.address_step();
    }
  }
}

}  // namespace

bool am28f_erase_chip(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  bus.bus_reset_vpp();
  bus.progress_prefix = text::ERASING;
  bool erased = program_all_to_zero(bus, context.chip_size);
  if (erased) {
    bus.bus_reset_vpp();
    erased = erase_and_verify(bus, context.clock, context.chip_size);
  }
  // The voltage goes off before anyone is told: the chip may be taken out as
  // soon as the result is seen.
  bus.bus_reset();
  bus.progress_prefix = nullptr;
  return erased;
}

void am28f_erase(ProgrammerContext& context) {
  if (am28f_erase_chip(context)) {
    context.main_view.dialog().message_box(text::ERASE_DONE, text::PROGRAMMER, mb::OK);
  } else {
    context.main_view.dialog().message_box(text::ERASE_ERROR, text::PROGRAMMER, mb::ICON_ERROR);
  }
}

}  // namespace fp
