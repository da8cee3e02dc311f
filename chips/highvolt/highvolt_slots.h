// Catalogue slots of the high-voltage flash rows.
#pragma once

#include "chips/common/common_handlers.h"

namespace fp {

inline constexpr ChipSlots I28F001BX_SLOTS{};
inline constexpr ChipSlots AM28F001_SLOTS{.on_blank_check = whole_chip_blank_check};

}  // namespace fp
