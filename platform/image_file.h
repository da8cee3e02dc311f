// Raw image files, moved as slices at a file offset. An existing file is
// never truncated; every failure (open, position, short transfer) is one
// non-zero result, and the file is closed on every path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fp {

uint32_t load_image(const std::u16string& path, uint8_t* buffer, uint32_t file_offset,
                    uint32_t count);
uint32_t save_image(const std::u16string& path, const uint8_t* buffer, uint32_t file_offset,
                    uint32_t count);

// A name the system is given at all: not empty, and without a NUL, which
// would make it a shorter, other name.
inline bool usable_image_path(const std::u16string& path) {
  return !path.empty() && path.find(u'\0') == std::u16string::npos;
}

// Size recorded in the directory entry, without opening the file.
std::optional<uint64_t> file_size(const std::u16string& path);

}  // namespace fp
