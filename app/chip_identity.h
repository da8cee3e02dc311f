// The identification codes each row's chip answers with, read the row's own
// way, so that a write, erase, fuse or lock operation goes only to the chip
// the row is for.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "chips/common/programmer_context.h"

namespace fp {

// The codes the row's chip gives; empty for a row without a known code.
std::span<const uint8_t> expected_identity(const ChipDescriptor& row);
// What the chip in the socket answers to the row's identify sequence.
std::vector<uint8_t> read_identity(ProgrammerContext& context, const ChipDescriptor& row);
// "1E 91 0A".
std::string codes_text(std::span<const uint8_t> codes);

}  // namespace fp
