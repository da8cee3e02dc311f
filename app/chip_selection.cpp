#include "app/chip_selection.h"

namespace fp {

void select_chip(ProgrammerContext& context, const ChipDescriptor& row) {
  context.current_chip = &row;
  if (row.slots.on_select != nullptr) row.slots.on_select(context, row);
  context.chip_size = context.current_chip->size;
  if (context.chip_selected) context.chip_selected(row);
}

}  // namespace fp
