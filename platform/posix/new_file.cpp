#include "platform/posix/new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/replaced_file.h"

namespace fp::posix {

bool write_new_file(const std::string& path, std::string_view content) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (descriptor < 0 && errno == EEXIST) return false;
  if (descriptor < 0) throw FileError({FailureKind::system, path, errno});
  int error = 0;
  for (size_t done = 0; done < content.size() && error == 0;) {
    const ssize_t written = ::write(descriptor, content.data() + done, content.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written == 0 ? ENOSPC : errno;
    } else {
      done += static_cast<size_t>(written);
    }
  }
  if (error == 0 && ::fsync(descriptor) != 0) error = errno;
  if (::close(descriptor) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(path.c_str());
    throw FileError({FailureKind::system, path, error});
  }
  return true;
}

}  // namespace fp::posix
