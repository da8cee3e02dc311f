// Catalogue slots of the AT89C2051/2052 and AT89C4051/4052 rows: the same
// handlers for both sizes, which differ only in chip_size.
#pragma once

#include "chips/at89c/at89c_handlers.h"

namespace fp {

inline constexpr ChipSlots AT89C_SLOTS{
    .on_identify = at89c_identify,
    .on_read = at89c_read,
    .on_blank_check = at89c_blank_check,
    .on_write = at89c_write,
    .on_erase = at89c_erase,
    .on_verify = at89c_verify,
};

}  // namespace fp
