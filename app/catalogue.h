// The fixed table of chip types the operator can pick.
#pragma once

#include <span>

#include "chips/common/chip_descriptor.h"
#include "ui/views.h"

namespace fp {

// Twelve rows, then a row whose name is null.
const ChipDescriptor* chip_catalogue();
// The twelve rows without the end row.
std::span<const ChipDescriptor> catalogue_rows();

// Adds every row up to the end row to the list; item data = the row.
void fill_chip_list(MainView& view, int list_id, const ChipDescriptor* catalogue);

// Slot lookup with the two defaults (block read and block verify).
ReadHandler read_handler(const ChipDescriptor& row);
DataHandler verify_handler(const ChipDescriptor& row);

}  // namespace fp
