// A file that runs append lines to, several at once: opened with O_APPEND
// (created when missing), each line given to one write(), so that lines of
// different processes never mix.
#pragma once

#include <optional>
#include <string>

#include "platform/posix/system_failure.h"

namespace fp::posix {

class AppendedFile {
 public:
  AppendedFile() = default;
  ~AppendedFile();
  AppendedFile(const AppendedFile&) = delete;
  AppendedFile& operator=(const AppendedFile&) = delete;

  // Nothing, or why it cannot be opened.
  std::optional<SystemFailure> open(const std::string& path);
  // One write() of line, then fsync; nothing, or why it did not go in whole.
  std::optional<SystemFailure> append(const std::string& line);

 private:
  std::string path_;
  int descriptor_ = -1;
};

}  // namespace fp::posix
