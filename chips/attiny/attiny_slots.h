// Catalogue slots of the two ATtiny2313 rows.
#pragma once

#include "chips/common/common_handlers.h"

namespace fp {

inline constexpr ChipSlots ATTINY_FLASH_SLOTS{};
inline constexpr ChipSlots ATTINY_EEPROM_SLOTS{};

}  // namespace fp
