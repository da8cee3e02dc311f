// What one erase of a sector-erasing row takes: nothing, the whole chip or
// the sector at an address.
#pragma once

#include <cstdint>

namespace fp {

enum class EraseTarget { none, whole_chip, block };

struct EraseChoice {
  EraseTarget target = EraseTarget::none;
  uint32_t block_address = 0;  // with EraseTarget::block
};

}  // namespace fp
