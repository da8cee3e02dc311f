// --blocks: "all" or block start addresses, comma-separated, as the blocks of
// the row's map they name.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chips/common/highvolt_state.h"

namespace fp::cli {

struct BlockList {
  // In the map's order, each once, however often and in whatever order they were named.
  std::vector<BlockRange> blocks;
  // The first item that starts no block of the map; blocks is then empty.
  std::optional<std::string> unknown;
};

BlockList parse_block_list(std::string_view text, std::span<const BlockRange> map);

// The map's block starts, each after a blank: " 00000h 1C000h 1D000h 1E000h".
std::string block_starts(std::span<const BlockRange> map);

}  // namespace fp::cli
