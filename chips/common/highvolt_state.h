// What the 12 V flash family keeps between operations: the block map of the
// selected row and the operator's choice of blocks. The context owns it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace fp {

struct BlockRange {
  uint32_t address = 0;
  uint32_t size = 0;
  bool operator==(const BlockRange&) const = default;
};

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
