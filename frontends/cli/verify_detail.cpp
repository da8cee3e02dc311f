#include "frontends/cli/verify_detail.h"

#include <cstdio>

namespace fp::cli {

BitDirections bit_directions(const ImageSlice& slice, const std::vector<uint8_t>& chip) {
  BitDirections found;
  for (size_t i = 0; i < slice.bytes.size() && i < chip.size(); ++i) {
    if (!slice.held[i]) continue;
    const uint8_t wanted = slice.bytes[i];
    if ((wanted & ~chip[i]) != 0) ++found.to_raise;
    if ((chip[i] & ~wanted) != 0) ++found.to_clear;
  }
  return found;
}

std::string difference_lines(const ImageSlice& slice, const std::vector<uint8_t>& chip) {
  std::string lines;
  char line[32];
  for (size_t i = 0; i < slice.bytes.size() && i < chip.size(); ++i) {
    if (!slice.held[i] || slice.bytes[i] == chip[i]) continue;
    const int length =
        std::snprintf(line, sizeof line, "%08X %02X %02X\n", static_cast<unsigned>(slice.start + i),
                      slice.bytes[i], chip[i]);
    lines.append(line, static_cast<size_t>(length));
  }
  return lines;
}

}  // namespace fp::cli
