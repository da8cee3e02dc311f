// Why a page write may not have taken: the pages went in with no command
// (the window's traffic) on a chip with software data protection, which while
// it is on starts its write timer for such a page and programs nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "chips/common/programmer_context.h"

namespace fp::cli {

// After a failed write: the note that the chip's protection may be on and how
// to switch it off, when pages went in with no command, the row has data
// protection and the chip reads steadily at address (not busy); nothing
// otherwise. kept_old_bytes: the pages found wrong are known to hold what they
// held before the write (said too); false: not known. The chip does not tell
// whether its protection is on: that stays "may".
std::optional<std::string> protection_hint(ProgrammerContext& context, uint32_t address,
                                           bool kept_old_bytes, bool english);

}  // namespace fp::cli
