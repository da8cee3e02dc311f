// The chip's old bytes kept in files of their own: the whole chip before a
// command changes it (--backup), and the region a failed write had erased
// (the rescue file beside the image). Neither ever replaces an existing file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/write_planner.h"

namespace fp::cli {

// Saves bytes to path; an error text (in English or Russian) when the file
// exists or cannot be written.
std::optional<std::string> save_backup(const std::string& path, const std::vector<uint8_t>& bytes,
                                       bool english);

// "image.bin.rescue-1C000h.bin" beside the image ("standard-input..." in the
// working directory for "-"), or with ".1", ".2", ... before ".bin" when the
// name is taken. The path saved, or an error text (second): the system's
// reason, or the first name tried when every name was taken.
struct SavedRescue {
  std::string path;
  std::string error;
  bool names_taken = false;
};
SavedRescue save_rescue(const std::string& image_path, const WriteRescue& rescue, bool english);

// What the operator is told about a rescue: where the old bytes are, how to
// write them back, and which addresses outside the slice are not as they were;
// in English or Russian.
std::string rescue_text(const SavedRescue& saved, const WriteRescue& rescue,
                        const std::string& row_name, bool english);

}  // namespace fp::cli
