// Image bytes without a pattern a wrong address could hide behind, the same
// for the same seed on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace fp::test {

inline std::vector<uint8_t> random_bytes(size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(generator());
  return bytes;
}

}  // namespace fp::test
