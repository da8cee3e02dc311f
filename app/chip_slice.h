// The image's bytes for a range of the chip, reading that range through the
// row's read slot, and comparing the two so that a failed verify says where.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chips/common/programmer_context.h"

namespace fp {

// Chip bytes [start, start + bytes.size()); held[i] false where a record
// file leaves the byte out (the chip keeps its own).
struct ImageSlice {
  uint32_t start = 0;
  std::vector<uint8_t> bytes;
  std::vector<bool> held;
  [[nodiscard]] uint32_t end() const { return start + static_cast<uint32_t>(bytes.size()); }
};

// The chip's bytes [start, start + count), read with the row's read slot
// (aligned to whole words for the rows that read words), or, where the slot is
// empty, with the block read that holds the read pattern; nothing when the
// row refused the read.
std::optional<std::vector<uint8_t>> read_chip(ProgrammerContext& context, uint32_t start,
                                              uint32_t count);

struct Difference {
  uint32_t address;  // first differing chip address
  uint8_t wanted;
  uint8_t found;
  uint32_t count;  // differing bytes in all
};

// Compares the held bytes of the slice with chip bytes read from chip_start.
std::optional<Difference> first_difference(const ImageSlice& slice,
                                           const std::vector<uint8_t>& chip, uint32_t chip_start);

// "1C000h", as the window writes addresses.
std::string address_text(uint32_t address);

// "first difference at 1C00h: file 5A, chip FF; 3 bytes of the slice differ"
// In Russian when english is false.
std::string difference_text(const Difference& difference, bool english = true);

}  // namespace fp
