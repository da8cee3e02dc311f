// A file that is replaced whole, never changed in place: while held it is
// locked exclusively (an advisory flock on the file itself, the lock raw image
// saves take too); its new content goes to a fresh file of a unique name
// beside it, created exclusively, flushed to disk, given the old file's mode
// (and owner, for root), then renamed over it. A symbolic link is followed:
// its target is replaced and the link stays.
#pragma once

#include <signal.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/posix/system_failure.h"

namespace fp::posix {

// what() is the English wording; failure() the facts, for other wordings.
class FileError : public std::runtime_error {
 public:
  explicit FileError(SystemFailure failure)
      : std::runtime_error(english(failure)), failure_(std::move(failure)) {}
  [[nodiscard]] const SystemFailure& failure() const { return failure_; }

 private:
  SystemFailure failure_;
};

struct HoldRules {
  // How long to wait for another holder; zero refuses a held file at once.
  std::chrono::milliseconds patience{0};
  // Called once, when the file is held by another and patience is not zero.
  std::function<void()> waiting;
  // Refuse an existing file the user may not write, as an in-place save would.
  bool writable = true;
};

// The calls that make a replacement last, apart so that a test can watch
// them: the new file is flushed before the rename, its folder after it. As
// the C library's calls: -1 and errno on failure.
class DiskCalls {
 public:
  virtual ~DiskCalls() = default;
  virtual int fsync(int descriptor);
  virtual int rename(const char* from, const char* to);
};

// The process's own calls; it holds no state.
DiskCalls& system_disk_calls();

class ReplacedFile {
 public:
  // Holds path, creating an empty file there when there is none. Throws FileError.
  ReplacedFile(const std::string& path, const HoldRules& rules,
               DiskCalls& disk = system_disk_calls());
  // Lets go; an empty file made by the constructor and never replaced goes too.
  ~ReplacedFile();
  ReplacedFile(const ReplacedFile&) = delete;
  ReplacedFile& operator=(const ReplacedFile&) = delete;

  // The file that is replaced: the path, or where its link leads.
  [[nodiscard]] const std::string& target() const { return target_; }
  // Whether the file was there before (even empty); not when made here.
  [[nodiscard]] bool existed() const { return !made_; }
  // The content as held, at most limit bytes. Throws FileError when there is more.
  [[nodiscard]] std::string content(size_t limit) const;
  // Throws FileError; on failure the file is as it was and nothing new is left.
  void replace(std::string_view content);

 private:
  DiskCalls& disk_;
  std::string target_;
  int descriptor_ = -1;
  bool made_ = false;
  bool replaced_ = false;
};

// While one lives, SIGINT, SIGTERM, SIGHUP and SIGQUIT wait: a replacement
// finishes or is taken back before the signal ends the process.
class DeferredSignals {
 public:
  DeferredSignals();
  ~DeferredSignals();
  DeferredSignals(const DeferredSignals&) = delete;
  DeferredSignals& operator=(const DeferredSignals&) = delete;

 private:
  sigset_t previous_{};
};

}  // namespace fp::posix
