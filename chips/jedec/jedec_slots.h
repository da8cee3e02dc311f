// Catalogue slots of the software-protected flash rows.
#pragma once

#include "chips/common/common_handlers.h"

namespace fp {

inline constexpr ChipSlots AT29C010A_SLOTS{};
inline constexpr ChipSlots AT29C040A_SLOTS{};
inline constexpr ChipSlots AT49F_SLOTS{.on_blank_check = whole_chip_blank_check};
inline constexpr ChipSlots W29EE512_SLOTS{.on_blank_check = whole_chip_blank_check};

}  // namespace fp
