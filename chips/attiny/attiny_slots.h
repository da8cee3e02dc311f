// Catalogue slots of the two ATtiny2313 rows.
#pragma once

#include "chips/attiny/attiny_handlers.h"
#include "chips/common/common_handlers.h"

namespace fp {

inline constexpr ChipSlots ATTINY_FLASH_SLOTS{
    .on_select = nullptr,
    .on_identify = attiny_identify,
    .on_read = attiny_flash_read,
    .on_blank_check = attiny_flash_blank_check,
    .on_write = attiny_flash_write,
    .on_erase = attiny_flash_erase,
    .on_verify = attiny_flash_verify,
};

inline constexpr ChipSlots ATTINY_EEPROM_SLOTS{
    .on_select = nullptr,
    .on_identify = attiny_identify,
    .on_read = attiny_eeprom_read,
    .on_blank_check = attiny_eeprom_blank_check,
    .on_write = attiny_eeprom_write,
    .on_erase = attiny_eeprom_erase,
    .on_verify = attiny_eeprom_verify,
};

}  // namespace fp
