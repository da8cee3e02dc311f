// Catalogue slots of the high-voltage flash rows.
#pragma once

#include "chips/common/common_handlers.h"
#include "chips/highvolt/highvolt_handlers.h"

namespace fp {

// Both i28F001BX rows; the row's param picks the block map.
inline constexpr ChipSlots I28F001BX_SLOTS{
    .on_select = i28f_select,
    .on_identify = i28f_identify,
    .on_blank_check = i28f_blank_check,
    .on_write = i28f_write,
    .on_erase = i28f_erase,
};

inline constexpr ChipSlots AM28F001_SLOTS{
    .on_identify = am28f_identify,
    .on_blank_check = whole_chip_blank_check,
    .on_write = am28f_write,
    .on_erase = am28f_erase,
};

}  // namespace fp
