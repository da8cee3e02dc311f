#include <optional>

#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_handlers.h"

namespace fp {
namespace {

// The error bits of the program just started, once the chip reports ready;
// nothing when it is still busy after PROGRAM_POLL_LIMIT reads.
std::optional<uint32_t> program_result(ProgrammerBus& bus) {
  for (uint32_t poll = 0; poll < PROGRAM_POLL_LIMIT; ++poll) {
    hv_command_write(bus, I28F_READ_STATUS);
    const uint8_t status = hv_read_cycle(bus);
    if ((status & SR_READY) != 0) return status & SR_PROGRAM_ERRORS;
  }
  return std::nullopt;
}

}  // namespace

uint32_t i28f_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                    uint32_t block_length) {
  ProgrammerBus& bus = context.bus;
  bus.bus_address.set(rom_offset);
  bus.bus_address.set_vpp_flag(true);
  // Goes to whatever address the latches hold; it switches the voltage on.
  hv_command_write(bus, I28F_CLEAR_STATUS);
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(rom_offset));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(rom_offset >> 8));

  // A byte the chip reports as failed does not stop the write, but its error
  // bits are kept so that one bad byte anywhere fails the whole write. A chip
  // still busy takes no further program command, so a byte that never ends
  // stops the write at once with the program-error result.
  uint32_t result = 0;
  for (uint32_t i = 0; i < block_length; ++i) {
    hv_command_write(bus, I28F_PROGRAM_SETUP);
    hv_command_write(bus, buffer[i]);
    const std::optional<uint32_t> byte_result = program_result(bus);
    if (!byte_result) {
      result = SR_PROGRAM_ERRORS;
      break;
    }
    result |= *byte_result;
    bus.address_step();
  }

  bus.bus_address.set_vpp_flag(false);
  hv_command_write(bus, I28F_READ_ARRAY);
  return result;
}

}  // namespace fp
