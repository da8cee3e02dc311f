// Files replaced whole under a lock: a second holder waits (told once) and
// then reads what the first one left, never the file it replaced; a holder
// that waits too long gives up; nothing but the file is ever left.
#include "platform/posix/replaced_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/test_folder.h"

namespace fp::posix {
namespace {

namespace fs = std::filesystem;

class ReplacedFileTest : public testing::Test {
 protected:
  std::string path(const std::string& name) const { return (folder_.path() / name).string(); }
  size_t entries() const {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_.path())) ++count;
    return count;
  }

  test::TestFolder folder_{"replaced_file"};
};

TEST_F(ReplacedFileTest, ASecondHolderWaitsAndThenSeesTheReplacement) {
  std::ofstream(path("board.sim")) << "old";
  auto first = std::make_unique<ReplacedFile>(path("board.sim"), HoldRules{});
  std::atomic<int> told{0};
  std::string seen;
  std::thread second([&] {
    HoldRules rules;
    rules.patience = std::chrono::seconds(20);
    rules.waiting = [&told] { ++told; };
    ReplacedFile file(path("board.sim"), rules);
    seen = file.content(100);
    file.replace(seen + "+second");
  });
  while (told == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  first->replace("first");
  first.reset();
  second.join();
  EXPECT_EQ(told, 1);
  EXPECT_EQ(seen, "first");
  std::ifstream in(path("board.sim"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "first+second");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(ReplacedFileTest, AHolderThatWaitsTooLongGivesUp) {
  std::ofstream(path("board.sim")) << "old";
  ReplacedFile first(path("board.sim"), HoldRules{});
  EXPECT_THROW(ReplacedFile(path("board.sim"), HoldRules{}), FileError);
  HoldRules rules;
  rules.patience = std::chrono::milliseconds(100);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(ReplacedFile(path("board.sim"), rules), FileError);
  EXPECT_GE(std::chrono::steady_clock::now() - start, rules.patience);
}

TEST_F(ReplacedFileTest, AFileMadeForTheLockGoesWhenNothingReplacesIt) {
  {
    ReplacedFile file(path("new.sim"), HoldRules{});
    EXPECT_FALSE(file.existed());
    EXPECT_TRUE(fs::exists(path("new.sim")));
  }
  EXPECT_EQ(entries(), 0u);
  {
    ReplacedFile file(path("new.sim"), HoldRules{});
    file.replace("kept");
  }
  EXPECT_EQ(fs::file_size(path("new.sim")), 4u);
}

TEST_F(ReplacedFileTest, TheModeStaysAndDevicesAreRefused) {
  std::ofstream(path("mine.sim")) << "old";
  ::chmod(path("mine.sim").c_str(), 0604);
  ReplacedFile(path("mine.sim"), HoldRules{}).replace("new");
  struct stat entry {};
  ASSERT_EQ(::stat(path("mine.sim").c_str(), &entry), 0);
  EXPECT_EQ(entry.st_mode & 07777, 0604u);
  EXPECT_THROW(ReplacedFile("/dev/null", HoldRules{}), FileError);
  fs::create_directory(path("folder"));
  EXPECT_THROW(ReplacedFile(path("folder"), HoldRules{}), FileError);
}

std::string file_id(const struct stat& entry) {
  return std::to_string(entry.st_dev) + ":" + std::to_string(entry.st_ino);
}

// The real calls, each told in order: "fsync file DEV:INO", "rename DEV:INO"
// (of the file renamed), "fsync folder DEV:INO".
class WatchedDisk final : public DiskCalls {
 public:
  int fsync(int descriptor) override {
    struct stat entry {};
    if (::fstat(descriptor, &entry) != 0) return -1;
    const bool folder = S_ISDIR(entry.st_mode);
    steps.push_back((folder ? "fsync folder " : "fsync file ") + file_id(entry));
    if (!folder && file_fsync_error != 0) {
      errno = file_fsync_error;
      return -1;
    }
    return DiskCalls::fsync(descriptor);
  }
  int rename(const char* from, const char* to) override {
    struct stat entry {};
    if (::lstat(from, &entry) != 0) return -1;
    steps.push_back("rename " + file_id(entry));
    return DiskCalls::rename(from, to);
  }

  std::vector<std::string> steps;
  int file_fsync_error = 0;
};

TEST_F(ReplacedFileTest, TheNewFileReachesTheDiskBeforeTheRenameAndTheFolderAfterIt) {
  std::ofstream(path("old.sim")) << "old";
  for (const char* name : {"old.sim", "new.sim"}) {
    WatchedDisk disk;
    ReplacedFile(path(name), HoldRules{}, disk).replace("new");
    struct stat file {};
    struct stat folder {};
    ASSERT_EQ(::stat(path(name).c_str(), &file), 0);
    ASSERT_EQ(::stat(folder_.path().c_str(), &folder), 0);
    EXPECT_THAT(disk.steps,
                testing::ElementsAre("fsync file " + file_id(file), "rename " + file_id(file),
                                     "fsync folder " + file_id(folder)))
        << name;
  }
}

TEST_F(ReplacedFileTest, AFlushThatFailsLeavesTheOldFileAndNothingNew) {
  std::ofstream(path("board.sim")) << "old";
  WatchedDisk disk;
  disk.file_fsync_error = EIO;
  EXPECT_THROW(ReplacedFile(path("board.sim"), HoldRules{}, disk).replace("new"), FileError);
  EXPECT_EQ(disk.steps.size(), 1u);
  std::ifstream in(path("board.sim"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  EXPECT_EQ(entries(), 1u);
}

}  // namespace
}  // namespace fp::posix
