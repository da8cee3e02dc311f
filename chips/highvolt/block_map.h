// Erase blocks of the i28F001BX, the two block maps the select handler loads,
// and the operator's choice of blocks.
#pragma once

#include <array>
#include <cstdint>

namespace fp {

struct BlockRange {
  uint32_t address = 0;
  uint32_t size = 0;
  bool operator==(const BlockRange&) const = default;
};

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

// Room for the four blocks and the end entry (size 0).
inline constexpr size_t SELECTED_BLOCKS_CAPACITY = 5;

struct HighVoltState {
  // The map of the i28F001BX row selected last.
  std::array<BlockRange, 4> block_table{};
  // Three labels for check boxes 1034, 1035 and 1036; null until a row is selected.
  const char16_t* const* block_labels = nullptr;
  const char16_t* block_dialog_chip_name = nullptr;
  // The blocks chosen in the dialog, in check-box order, then an entry of size 0.
  std::array<BlockRange, SELECTED_BLOCKS_CAPACITY> selected_blocks{};
};

}  // namespace fp
