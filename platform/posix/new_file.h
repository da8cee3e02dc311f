// A file that did not exist before, written whole and flushed to disk: an
// existing file of that name is never touched.
#pragma once

#include <string>
#include <string_view>

namespace fp::posix {

// False when the name is taken; throws FileError when the file cannot be
// made or written (nothing is left behind then).
bool write_new_file(const std::string& path, std::string_view content);

}  // namespace fp::posix
