#include "platform/posix/appended_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace fp::posix {

AppendedFile::~AppendedFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

std::optional<SystemFailure> AppendedFile::open(const std::string& path) {
  path_ = path;
  descriptor_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor_ < 0) return SystemFailure{FailureKind::system, path, errno};
  return std::nullopt;
}

std::optional<SystemFailure> AppendedFile::append(const std::string& line) {
  ssize_t written = -1;
  do {
    written = ::write(descriptor_, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) return SystemFailure{FailureKind::system, path_, errno};
  if (static_cast<size_t>(written) != line.size()) {
    return SystemFailure{FailureKind::line_cut_short, path_};
  }
  // A pipe or a terminal cannot be synced; the line is out all the same.
  if (::fsync(descriptor_) != 0 && errno != EINVAL) {
    return SystemFailure{FailureKind::system, path_, errno};
  }
  return std::nullopt;
}

}  // namespace fp::posix
