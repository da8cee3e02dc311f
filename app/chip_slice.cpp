#include "app/chip_slice.h"

#include <algorithm>
#include <cstdio>

#include "bus/block_ops.h"
#include "bus/number_text.h"
#include "platform/utf8.h"

namespace fp {

std::string address_text(uint32_t address) {
  return to_utf8(hex_text(address)) + "h";
}

std::optional<std::vector<uint8_t>> read_chip(ProgrammerContext& context, uint32_t start,
                                              uint32_t count) {
  const uint32_t first = start & ~1U;
  const uint32_t last = std::min(context.chip_size, (start + count + 1) & ~1U);
  std::vector<uint8_t> whole(last - first);
  if (whole.empty()) return whole;
  if (context.current_chip->slots.on_read == nullptr) {
    // The rows that read through the block read take the cheaper one.
    bus_read_block_held(context.bus, whole.data(), first, last - first);
  } else if (context.current_chip->slots.on_read(context, whole.data(), first, last - first) ==
             ReadResult::refused) {
    return std::nullopt;
  }
  return std::vector<uint8_t>(whole.begin() + (start - first),
                              whole.begin() + (start - first + count));
}

std::optional<Difference> first_difference(const ImageSlice& slice,
                                           const std::vector<uint8_t>& chip, uint32_t chip_start) {
  std::optional<Difference> found;
  for (uint32_t i = 0; i < slice.bytes.size(); ++i) {
    if (!slice.held[i]) continue;
    const uint8_t on_chip = chip[slice.start - chip_start + i];
    if (on_chip == slice.bytes[i]) continue;
    if (!found) found = Difference{slice.start + i, slice.bytes[i], on_chip, 0};
    ++found->count;
  }
  return found;
}

std::string difference_text(const Difference& difference, bool english) {
  char bytes[64];
  if (!english) {
    std::snprintf(bytes, sizeof bytes, ": в файле %02X, в микросхеме %02X; ", difference.wanted,
                  difference.found);
    return "первое отличие по адресу " + address_text(difference.address) + bytes +
           "отличается байтов среза: " + std::to_string(difference.count);
  }
  std::snprintf(bytes, sizeof bytes, ": file %02X, chip %02X; ", difference.wanted,
                difference.found);
  return "first difference at " + address_text(difference.address) + bytes +
         std::to_string(difference.count) +
         (difference.count == 1 ? " byte of the slice differs" : " bytes of the slice differ");
}

}  // namespace fp
