#include "frontends/cli/block_list.h"

#include <cstdio>

#include "frontends/cli/hex_number.h"

namespace fp::cli {

BlockList parse_block_list(std::string_view text, std::span<const BlockRange> map) {
  BlockList list;
  std::vector<bool> chosen(map.size(), text == "all");
  if (text != "all") {
    size_t from = 0;
    // A comma at the very end closes the list; one anywhere else stands
    // before an item, even an empty one.
    while (from < text.size()) {
      const size_t comma = std::min(text.find(',', from), text.size());
      const std::string_view item = text.substr(from, comma - from);
      const auto address = parse_free_hex(item);
      bool found = false;
      for (size_t i = 0; i < map.size(); ++i) {
        if (address && map[i].address == *address) chosen[i] = found = true;
      }
      if (!found) {
        list.unknown = std::string(item);
        return list;
      }
      from = comma + 1;
    }
  }
  for (size_t i = 0; i < map.size(); ++i) {
    if (chosen[i]) list.blocks.push_back(map[i]);
  }
  return list;
}

std::string block_starts(std::span<const BlockRange> map) {
  std::string starts;
  for (const BlockRange& block : map) {
    char label[16];
    std::snprintf(label, sizeof label, " %05Xh", block.address);
    starts += label;
  }
  return starts;
}

}  // namespace fp::cli
