// Erase blocks of the i28F001BX and the operator's choice of them.
#pragma once

#include <array>
#include <cstdint>

namespace fp {

struct BlockRange {
  uint32_t address = 0;
  uint32_t size = 0;
};

struct HighVoltState {
  std::array<BlockRange, 4> block_table{};
  // Labels of check boxes 1034, 1035 and 1036; null until a row is selected.
  const char16_t* const* block_labels = nullptr;
  const char16_t* block_dialog_chip_name = nullptr;
  // Up to four chosen blocks, then an entry of size 0.
  std::array<BlockRange, 5> selected_blocks{};
};

}  // namespace fp
