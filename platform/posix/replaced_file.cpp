#include "platform/posix/replaced_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

namespace fp::posix {
namespace {

constexpr std::chrono::milliseconds POLL{20};

FileError why(const std::string& path, int error) {
  return FileError({FailureKind::system, path, error});
}

// Where a chain of links ends; the path itself when it is none.
std::string resolve_links(const std::string& path) {
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) return path;
  std::error_code error;
  const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
  if (error) throw why(path, error.value());
  return target.string();
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool write_all(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

int DiskCalls::fsync(int descriptor) {
  return ::fsync(descriptor);
}

int DiskCalls::rename(const char* from, const char* to) {
  return ::rename(from, to);
}

DiskCalls& system_disk_calls() {
  static DiskCalls calls;
  return calls;
}

ReplacedFile::ReplacedFile(const std::string& path, const HoldRules& rules, DiskCalls& disk)
    : disk_(disk), target_(resolve_links(path)) {
  const auto deadline = std::chrono::steady_clock::now() + rules.patience;
  bool told = false;
  for (;;) {
    made_ = false;
    descriptor_ = ::open(target_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor_ < 0 && errno == ENOENT) {
      descriptor_ =
          ::open(target_.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (descriptor_ < 0 && errno == EEXIST) continue;
      made_ = descriptor_ >= 0;
    }
    if (descriptor_ < 0) throw why(path, errno);
    struct stat held {};
    if (::fstat(descriptor_, &held) != 0 || !S_ISREG(held.st_mode)) {
      ::close(descriptor_);
      descriptor_ = -1;
      throw FileError({FailureKind::not_regular, path});
    }
    if (!made_ && rules.writable && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
      const int error = errno;
      ::close(descriptor_);
      descriptor_ = -1;
      throw why(path, error);
    }
    while (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
        // A file made here but already taken by another stays theirs.
        ::close(descriptor_);
        descriptor_ = -1;
        if (rules.patience.count() == 0) throw FileError({FailureKind::in_use, path});
        throw FileError({FailureKind::still_in_use, path, 0,
                         static_cast<uint64_t>(rules.patience.count() / 1000)});
      }
      if (!told && rules.waiting) rules.waiting();
      told = true;
      std::this_thread::sleep_for(POLL);
    }
    // The holder before may have replaced the file meanwhile: then the lock
    // is on a file that has no name any more, and the new one is taken.
    struct stat named {};
    if (::stat(target_.c_str(), &named) == 0 && same_file(held, named)) return;
    ::close(descriptor_);
    descriptor_ = -1;
  }
}

ReplacedFile::~ReplacedFile() {
  if (descriptor_ < 0) return;
  if (made_ && !replaced_) {
    struct stat held {};
    if (::fstat(descriptor_, &held) == 0 && held.st_size == 0) ::unlink(target_.c_str());
  }
  ::close(descriptor_);
}

std::string ReplacedFile::content(size_t limit) const {
  std::string bytes;
  char block[65536];
  off_t at = 0;
  for (;;) {
    const ssize_t count = ::pread(descriptor_, block, sizeof block, at);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) throw why(target_, errno);
    if (count == 0) return bytes;
    if (bytes.size() + static_cast<size_t>(count) > limit) {
      throw FileError({FailureKind::larger_than, target_, 0, limit});
    }
    bytes.append(block, static_cast<size_t>(count));
    at += count;
  }
}

void ReplacedFile::replace(std::string_view content) {
  const std::string folder = folder_of(target_);
  // A short name, so that the longest name a folder takes can still be replaced.
  std::string fresh = folder + "/.programmer-XXXXXX";
  const int descriptor = ::mkostemp(fresh.data(), O_CLOEXEC);
  if (descriptor < 0) throw why(folder, errno);
  const auto fail = [&](const std::string& path, int error) {
    ::close(descriptor);
    ::unlink(fresh.c_str());
    throw why(path, error);
  };
  struct stat held {};
  if (::fstat(descriptor_, &held) != 0) fail(target_, errno);
  if (!write_all(descriptor, content)) fail(target_, errno);
  if (::geteuid() == 0 && ::fchown(descriptor, held.st_uid, held.st_gid) != 0) fail(target_, errno);
  if (::fchmod(descriptor, held.st_mode & 07777) != 0) fail(target_, errno);
  if (disk_.fsync(descriptor) != 0) fail(target_, errno);
  if (::close(descriptor) != 0) {
    const int error = errno;
    ::unlink(fresh.c_str());
    throw why(target_, error);
  }
  if (disk_.rename(fresh.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    ::unlink(fresh.c_str());
    throw why(target_, error);
  }
  replaced_ = true;
  // The rename itself lasts once the folder is on disk too.
  const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    disk_.fsync(directory);
    ::close(directory);
  }
}

DeferredSignals::DeferredSignals() {
  sigset_t ending;
  sigemptyset(&ending);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
    sigaddset(&ending, signal_number);
  sigprocmask(SIG_BLOCK, &ending, &previous_);
}

DeferredSignals::~DeferredSignals() {
  sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace fp::posix
