// POSIX image files. The program takes an advisory lock itself, shared for a
// load and exclusive for a save, so a save refuses a file that another copy of
// the program is reading or writing: the nearest POSIX has to a share mode.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/image_file.h"
#include "platform/owned_handle.h"
#include "platform/utf8.h"

namespace fp {
namespace {

constexpr uint32_t FAILURE = 1;

struct Descriptor {
  using Handle = int;
  static int none() { return -1; }
  static void close(int descriptor) { ::close(descriptor); }
};
using OpenFile = OwnedHandle<Descriptor>;

}  // namespace

uint32_t load_image(const std::u16string& path, uint8_t* buffer, uint32_t file_offset,
                    uint32_t count) {
  if (!usable_image_path(path)) return FAILURE;
  OpenFile file(::open(path_to_bytes(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.is_open()) return FAILURE;
  if (::flock(file.get(), LOCK_SH | LOCK_NB) != 0) return FAILURE;
  if (::lseek(file.get(), static_cast<off_t>(file_offset), SEEK_SET) < 0) return FAILURE;
  const ssize_t transferred = ::read(file.get(), buffer, count);
  return transferred == static_cast<ssize_t>(count) ? 0 : FAILURE;
}

uint32_t save_image(const std::u16string& path, const uint8_t* buffer, uint32_t file_offset,
                    uint32_t count) {
  if (!usable_image_path(path)) return FAILURE;
  const std::string name = path_to_bytes(path);
  // Whether the file is made here, so that a failed save can take it away again.
  bool created = true;
  OpenFile file(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!file.is_open() && errno == EEXIST) {
    created = false;
    // Read access too, to keep the bytes the slice covers; a file that may
    // only be written is saved without that safety net.
    file.reset(::open(name.c_str(), O_RDWR | O_CLOEXEC));
    if (!file.is_open() && errno == EACCES) file.reset(::open(name.c_str(), O_WRONLY | O_CLOEXEC));
    // A link to a file that does not exist yet: made through the link, left in place.
    if (!file.is_open() && errno == ENOENT) {
      file.reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    }
  }
  if (!file.is_open()) return FAILURE;
  const auto fail = [&] {
    if (created) ::unlink(name.c_str());
    return FAILURE;
  };
  if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return fail();
  struct stat entry {};
  if (::fstat(file.get(), &entry) != 0) return fail();
  const off_t old_size = entry.st_size;
  const off_t start = static_cast<off_t>(file_offset);
  // No O_TRUNC: bytes outside the slice and the file's length stay as they are.
  if (::lseek(file.get(), start, SEEK_SET) < 0) return fail();
  std::vector<uint8_t> kept;
  if (start < old_size) {
    kept.resize(static_cast<size_t>(std::min<off_t>(old_size - start, count)));
    if (::pread(file.get(), kept.data(), kept.size(), start) != static_cast<ssize_t>(kept.size())) {
      kept.clear();
    }
  }
  const ssize_t transferred = ::write(file.get(), buffer, count);
  if (transferred == static_cast<ssize_t>(count)) return 0;
  // A short write (a full disk, a size limit) must not leave the file half
  // changed: put back the bytes it replaced and the old length.
  if (transferred > 0) {
    const size_t replaced = std::min(kept.size(), static_cast<size_t>(transferred));
    // Best effort: there is nothing more to try when putting back fails too.
    [[maybe_unused]] const ssize_t put_back = ::pwrite(file.get(), kept.data(), replaced, start);
    if (start + transferred > old_size) {
      [[maybe_unused]] const int shortened = ::ftruncate(file.get(), old_size);
    }
  }
  return fail();
}

std::optional<uint64_t> file_size(const std::u16string& path) {
  if (!usable_image_path(path)) return std::nullopt;
  struct stat entry {};
  if (::stat(path_to_bytes(path).c_str(), &entry) != 0) return std::nullopt;
  // A directory entry found by name records no size.
  if (!S_ISREG(entry.st_mode)) return 0;
  return static_cast<uint64_t>(entry.st_size);
}

}  // namespace fp
