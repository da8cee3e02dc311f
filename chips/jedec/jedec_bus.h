// Bus cycles of the software-protected flash chips: command writes, data
// cycles and the identification read. None of them carries the programming
// voltage.
#pragma once

#include <cstdint>
#include <span>

#include "bus/programmer_bus.h"
#include "chips/common/programmer_context.h"
#include "chips/jedec/jedec_commands.h"

namespace fp {

// One command cycle: data, address low, address middle, then the write strobe
// with A16-A18 low. bus_address is neither read nor changed.
void jedec_write(ProgrammerBus& bus, uint16_t address, uint8_t data);
void send_sequence(ProgrammerBus& bus, std::span<const BusCycle> sequence);

// The write strobe at the address the latches hold, A16-A18 = high_bits.
void write_strobe(ProgrammerBus& bus, uint8_t high_bits);
// Loads the data latch, then strobes.
void data_cycle(ProgrammerBus& bus, uint8_t data, uint8_t high_bits);

struct JedecId {
  uint8_t manufacturer;
  uint8_t device;
};

// Enters identification mode, reads both codes and leaves it again.
JedecId read_jedec_id(ProgrammerContext& context);

}  // namespace fp
