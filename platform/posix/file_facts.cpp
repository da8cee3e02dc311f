#include "platform/posix/file_facts.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/posix/replaced_file.h"

namespace fp::posix {

FileFacts file_facts(const std::string& path) {
  struct stat facts {};
  if (::stat(path.c_str(), &facts) != 0) return {};
  FileFacts result;
  if (S_ISREG(facts.st_mode)) {
    result.kind = FileKind::regular;
  } else if (S_ISFIFO(facts.st_mode)) {
    result.kind = FileKind::fifo;
  } else if (S_ISCHR(facts.st_mode)) {
    result.kind = FileKind::character_device;
  } else if (S_ISDIR(facts.st_mode)) {
    result.kind = FileKind::directory;
  } else {
    result.kind = FileKind::other;
  }
  const struct group* entry = ::getgrgid(facts.st_gid);
  result.group = entry != nullptr ? entry->gr_name : std::to_string(facts.st_gid);
  return result;
}

std::optional<int> read_write_refusal(const std::string& path) {
  if (::access(path.c_str(), R_OK | W_OK) == 0) return std::nullopt;
  return errno;
}

std::optional<bool> same_existing_file(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return std::nullopt;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool same_file(const std::string& a, const std::string& b) {
  if (const auto same = same_existing_file(a, b)) return *same;
  std::error_code error;
  const auto resolved_a = std::filesystem::weakly_canonical(a, error);
  if (error) return a == b;
  const auto resolved_b = std::filesystem::weakly_canonical(b, error);
  return error ? a == b : resolved_a == resolved_b;
}

bool is_terminal(StandardStream stream) {
  const int descriptor = stream == StandardStream::input    ? STDIN_FILENO
                         : stream == StandardStream::output ? STDOUT_FILENO
                                                            : STDERR_FILENO;
  return ::isatty(descriptor) == 1;
}

AnonymousFile::AnonymousFile() {
  const char* folder = std::getenv("TMPDIR");
  std::string pattern =
      std::string(folder != nullptr && *folder != 0 ? folder : "/tmp") + "/programmer-image-XXXXXX";
  {
    // Signals wait until the name is gone again.
    const DeferredSignals signals_wait;
    descriptor_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor_ < 0) {
      throw FileError({FailureKind::no_temporary_file, pattern, errno});
    }
    ::unlink(pattern.c_str());
  }
  path_ = "/proc/self/fd/" + std::to_string(descriptor_);
  if (::access(path_.c_str(), R_OK | W_OK) != 0) {
    const int error = errno;
    ::close(descriptor_);
    throw FileError({FailureKind::temporary_unreached, path_, error});
  }
}

AnonymousFile::~AnonymousFile() {
  ::close(descriptor_);
}

}  // namespace fp::posix
