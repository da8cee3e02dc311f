// Catalogue slots of the AT89C2051 and AT89C4051 rows.
#pragma once

#include "chips/common/common_handlers.h"

namespace fp {

inline constexpr ChipSlots AT89C_SLOTS{};

}  // namespace fp
