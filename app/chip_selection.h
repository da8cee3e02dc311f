// Making a row the chip worked on: its selection handler runs (the 12 V
// families set their state for it) and whoever follows the choice is told.
#pragma once

#include "chips/common/programmer_context.h"

namespace fp {

void select_chip(ProgrammerContext& context, const ChipDescriptor& row);

}  // namespace fp
