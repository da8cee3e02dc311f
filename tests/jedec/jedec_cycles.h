// The family's bus cycles in its tests: command sequences as the recorder's
// bus story tells them, and one data cycle at any address.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_commands.h"
#include "tests/support/programmer_rigs.h"

namespace fp::test {

inline std::vector<std::string> writes(std::span<const BusCycle> sequence) {
  std::vector<std::string> lines;
  for (const BusCycle& cycle : sequence) lines.push_back(write_line(cycle.address, cycle.data));
  return lines;
}

// One data cycle at a 19-bit address, the way the page loops send theirs.
inline void data_cycle_at(ProgrammerBus& bus, uint32_t address, uint8_t data) {
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
  data_cycle(bus, data, static_cast<uint8_t>(address >> 16));
}

template <typename... Parts>
std::vector<std::string> joined(const Parts&... parts) {
  std::vector<std::string> all;
  (all.insert(all.end(), parts.begin(), parts.end()), ...);
  return all;
}

}  // namespace fp::test
