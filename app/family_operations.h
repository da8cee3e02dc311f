// The operations that the family dialogs offer, as functions of values that
// any frontend calls: erase (whole chip, one sector, or blocks), blank check,
// software data protection, fuses and lock bits. Each looks at the row's
// facts and goes to its family's code; a row without the operation is told
// apart from one that failed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "chips/attiny/attiny_fuses.h"
#include "chips/common/programmer_context.h"

namespace fp {

enum class EraseScope : uint8_t {
  whole_chip,  // every row with an erase; the block rows take every block
  sector,      // rows with a sector map: the sector that starts at `sector`
  blocks,      // rows with a block map: the blocks listed
};

struct EraseRequest {
  EraseScope scope = EraseScope::whole_chip;
  uint32_t sector = 0;
  std::vector<BlockRange> blocks;
};

enum class OperationStatus : uint8_t {
  done,     // erased (chips that cannot tell: the erase ran); or checked and blank
  failed,   // the chip reported the erase failed, or never ready; or not blank
  refused,  // the row has no such operation, or the request names what the row has not:
            // the chip was not touched
};

struct BlockOutcome {
  OperationStatus status = OperationStatus::refused;
  // With failed: the first block that failed (the erase stopped there) or
  // was not blank, where the row works by blocks.
  std::optional<BlockRange> block;
};

// Erases what the request names. Rows that erase only as a whole take
// whole_chip alone; a sector must start a sector of the row's map, and
// blocks must be blocks of its map (at least one, each once).
BlockOutcome erase(ProgrammerContext& context, const EraseRequest& request);

// Whether the window asks "Стереть ПЗУ?" before the row's erase: a frontend
// asks its operator the same before it calls erase.
bool erase_asks_first(const ChipDescriptor& row);
// What the window says when the row has no erase of its own.
const char16_t* erase_refusal(const ChipDescriptor& row);

// The blank check of the whole chip, or, on the block rows, of the blocks
// given (none: every block).
BlockOutcome blank_check(ProgrammerContext& context, std::span<const BlockRange> blocks = {});

// Software data protection on or off; false (nothing sent) for a row without it.
bool set_protection(ProgrammerContext& context, bool on);

// The fuse and lock-bit operations; nothing (and the chip untouched) for a
// row without fuses.
std::optional<AttinyBytes> read_fuses(ProgrammerContext& context);
std::optional<AttinyWrite> write_fuses(ProgrammerContext& context, const FuseChange& change);
std::optional<AttinyWrite> write_lock(ProgrammerContext& context, uint8_t lock);

}  // namespace fp
