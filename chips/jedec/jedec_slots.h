// Catalogue slots of the software-protected flash rows.
#pragma once

#include "chips/common/common_handlers.h"
#include "chips/jedec/jedec_handlers.h"

namespace fp {

inline constexpr ChipSlots AT29C010A_SLOTS{.on_identify = jedec_identify,
                                           .on_write = at29c010a_write};
inline constexpr ChipSlots AT29C040A_SLOTS{.on_identify = jedec_identify,
                                           .on_write = at29c040a_write};
inline constexpr ChipSlots AT49F_SLOTS{.on_identify = jedec_identify,
                                       .on_blank_check = whole_chip_blank_check,
                                       .on_write = at49f_write,
                                       .on_erase = at49f_erase};
inline constexpr ChipSlots W29EE512_SLOTS{.on_identify = jedec_identify,
                                          .on_blank_check = whole_chip_blank_check,
                                          .on_write = w29ee512_write,
                                          .on_erase = w29ee512_erase};
// Rows whose page size is their own fact (write_unit), on the same drivers.
inline constexpr ChipSlots AT29C_ROW_SLOTS{.on_identify = jedec_identify,
                                           .on_write = at29c_row_write};
inline constexpr ChipSlots W29EE_ROW_SLOTS{.on_identify = jedec_identify,
                                           .on_blank_check = whole_chip_blank_check,
                                           .on_write = w29ee_row_write,
                                           .on_erase = w29ee512_erase};

}  // namespace fp
