// The family's command sequences as the recorder's bus story tells them.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "chips/jedec/jedec_commands.h"
#include "tests/support/programmer_rigs.h"

namespace fp::test {

inline std::vector<std::string> writes(std::span<const BusCycle> sequence) {
  std::vector<std::string> lines;
  for (const BusCycle& cycle : sequence) lines.push_back(write_line(cycle.address, cycle.data));
  return lines;
}

template <typename... Parts>
std::vector<std::string> joined(const Parts&... parts) {
  std::vector<std::string> all;
  (all.insert(all.end(), parts.begin(), parts.end()), ...);
  return all;
}

}  // namespace fp::test
