// Switching the software data protection of the chip in the socket: a command
// followed by one page load. The page-write chips rewrite their first page
// with its own contents, so switching loses no data.
#pragma once

#include "chips/common/programmer_context.h"

namespace fp {

void sdp_on(ProgrammerContext& context);
void sdp_off(ProgrammerContext& context);

}  // namespace fp
