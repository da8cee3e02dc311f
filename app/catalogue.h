// The fixed table of chip types the operator can pick.
#pragma once

#include <cstddef>
#include <span>

#include "chips/common/chip_descriptor.h"
#include "ui/views.h"

namespace fp {

// The window's twelve rows, any further rows, then a row whose name is null.
const ChipDescriptor* chip_catalogue();
// The rows without the end row.
std::span<const ChipDescriptor> catalogue_rows();

// The rows the window lists: the first ones, in this order.
inline constexpr size_t WINDOW_ROW_COUNT = 12;

// Adds the window's rows (up to the end row) to the list; item data = the row.
void fill_chip_list(MainView& view, int list_id, const ChipDescriptor* catalogue);

// Slot lookup with the two defaults (block read and block verify).
ReadHandler read_handler(const ChipDescriptor& row);
DataHandler verify_handler(const ChipDescriptor& row);

}  // namespace fp
