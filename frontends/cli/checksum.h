// The two sums a label, a log and a file comparison share: zlib's CRC-32
// (the IEEE polynomial, as in zip and PNG) and the 16-bit sum of the bytes,
// written "crc32 1A2B3C4D sum16 7F3E" (upper-case hexadecimal, fixed width).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace fp::cli {

struct Checksum {
  uint32_t crc32 = 0;
  uint16_t sum16 = 0;
};

Checksum checksum(std::span<const uint8_t> bytes);

// "crc32 1A2B3C4D sum16 7F3E"
std::string checksum_text(const Checksum& sums);

}  // namespace fp::cli
