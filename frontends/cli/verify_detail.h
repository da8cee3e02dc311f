// What a failed verify says beyond its first difference: how many differing
// bytes need bits raised (a 0 on the chip where the file has a 1: only an
// erase brings it back) and how many need bits cleared, and the list of
// every difference for --diff.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/chip_slice.h"

namespace fp::cli {

struct BitDirections {
  uint32_t to_raise = 0;  // bytes with a bit the chip holds 0 and the file 1
  uint32_t to_clear = 0;  // bytes with a bit the chip holds 1 and the file 0
};

// Over the held bytes of the slice; chip holds the bytes from slice.start on.
BitDirections bit_directions(const ImageSlice& slice, const std::vector<uint8_t>& chip);

// One line per differing held byte: "0001C000 5A FF" (chip address, file
// byte, chip byte, upper-case hexadecimal).
std::string difference_lines(const ImageSlice& slice, const std::vector<uint8_t>& chip);

}  // namespace fp::cli
