// The fixed table of chip types the operator can pick.
#pragma once

#include <cstddef>
#include <span>

#include "chips/common/chip_descriptor.h"
#include "chips/common/programmer_context.h"
#include "ui/views.h"

namespace fp {

// The window's twelve rows, any further rows, then a row whose name is null.
const ChipDescriptor* chip_catalogue();
// The rows without the end row.
std::span<const ChipDescriptor> catalogue_rows();

// The window's own rows: the first ones, in this order, with their fixed
// waits. The rows after them follow in the list, grouped by family.
inline constexpr size_t WINDOW_ROW_COUNT = 12;

// Adds every row (up to the end row) to the list; item data = the row.
void fill_chip_list(MainView& view, int list_id, const ChipDescriptor* catalogue);

// How the handlers wait for the row's chip in the window: the window's own
// rows sleep their fixed times, the rows after them ask the chip.
ChipWaits window_waits(const ChipDescriptor& row);

// The row of the same chip that the given driver serves (the ATtiny's
// EEPROM beside its flash), or null.
const ChipDescriptor* companion_row(const ChipDescriptor& row, ChipDriver driver);

// Slot lookup with the two defaults (block read and block verify).
ReadHandler read_handler(const ChipDescriptor& row);
DataHandler verify_handler(const ChipDescriptor& row);

}  // namespace fp
