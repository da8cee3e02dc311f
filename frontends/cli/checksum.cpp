#include "frontends/cli/checksum.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>

namespace fp::cli {

Checksum checksum(std::span<const uint8_t> bytes) {
  Checksum sums;
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes at most a uInt of bytes a call.
  constexpr size_t STEP = size_t{1} << 30;
  for (size_t done = 0; done < bytes.size(); done += STEP) {
    const size_t count = std::min(STEP, bytes.size() - done);
    crc = crc32(crc, bytes.data() + done, static_cast<uInt>(count));
  }
  sums.crc32 = static_cast<uint32_t>(crc);
  uint32_t sum = 0;
  for (const uint8_t byte : bytes) sum += byte;
  sums.sum16 = static_cast<uint16_t>(sum);
  return sums;
}

std::string checksum_text(const Checksum& sums) {
  char text[32];
  std::snprintf(text, sizeof text, "crc32 %08X sum16 %04X", static_cast<unsigned>(sums.crc32),
                static_cast<unsigned>(sums.sum16));
  return text;
}

}  // namespace fp::cli
