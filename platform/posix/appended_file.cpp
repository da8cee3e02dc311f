#include "platform/posix/appended_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fp::posix {

AppendedFile::~AppendedFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

std::optional<std::string> AppendedFile::open(const std::string& path) {
  descriptor_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor_ < 0) return std::strerror(errno);
  return std::nullopt;
}

std::optional<std::string> AppendedFile::append(const std::string& line) {
  ssize_t written = -1;
  do {
    written = ::write(descriptor_, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) return std::strerror(errno);
  if (static_cast<size_t>(written) != line.size()) return "the line was cut short (a full disk?)";
  // A pipe or a terminal cannot be synced; the line is out all the same.
  if (::fsync(descriptor_) != 0 && errno != EINVAL) return std::strerror(errno);
  return std::nullopt;
}

}  // namespace fp::posix
