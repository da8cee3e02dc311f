// A file that runs append lines to, several at once: opened with O_APPEND
// (created when missing), each line given to one write(), so that lines of
// different processes never mix.
#pragma once

#include <optional>
#include <string>

namespace fp::posix {

class AppendedFile {
 public:
  AppendedFile() = default;
  ~AppendedFile();
  AppendedFile(const AppendedFile&) = delete;
  AppendedFile& operator=(const AppendedFile&) = delete;

  // Nothing, or the system's reason when it cannot be opened.
  std::optional<std::string> open(const std::string& path);
  // One write() of line, then fsync; nothing, or why it did not go in whole.
  std::optional<std::string> append(const std::string& line);

 private:
  int descriptor_ = -1;
};

}  // namespace fp::posix
