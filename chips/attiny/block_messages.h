// Messages of the ATtiny2313 handlers, owned by the main window.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"

namespace fp {

// "Odd address or block length": the result is the box's answer, never 0, so
// a refusing handler always reports failure.
uint32_t report_odd_block(ProgrammerContext& context);

// A write block that does not start on a page: both refusal boxes, in order.
uint32_t report_unaligned_block(ProgrammerContext& context);

// The blank-check verdict.
void report_blank(ProgrammerContext& context, bool blank);

}  // namespace fp
