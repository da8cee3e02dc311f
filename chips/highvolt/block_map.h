// Erase blocks of the i28F001BX: the two block maps the select handler loads.
#pragma once

#include <array>
#include <cstdint>

#include "chips/common/highvolt_state.h"

namespace fp {

// Family parameter of the i28F001BX rows: which block map the row loads.
inline constexpr uint32_t BLOCK_MAP_TOP_BOOT = 1;
inline constexpr uint32_t BLOCK_MAP_BOTTOM_BOOT = 2;

// One entry per check box of the block-selection dialog (1030, 1034, 1035,
// 1036); each map covers the 128 KiB chip without gap or overlap.
inline constexpr std::array<BlockRange, 4> TOP_BOOT_BLOCKS{{
    {0x00000, 0x1C000},  // main block
    {0x1C000, 0x1000},   // parameter block
    {0x1D000, 0x1000},   // parameter block
    {0x1E000, 0x2000},   // boot block
}};
inline constexpr std::array<BlockRange, 4> BOTTOM_BOOT_BLOCKS{{
    {0x00000, 0x2000},   // boot block
    {0x02000, 0x1000},   // parameter block
    {0x03000, 0x1000},   // parameter block
    {0x04000, 0x1C000},  // main block
}};

}  // namespace fp
