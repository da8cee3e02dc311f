#include "platform/posix/file_facts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/posix/replaced_file.h"

namespace fp::posix {
namespace {

namespace fs = std::filesystem;

class FileFactsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("file-facts-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string path(const char* name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

TEST_F(FileFactsTest, KindsFollowLinks) {
  std::ofstream(path("image.bin")) << "x";
  fs::create_symlink(path("image.bin"), path("link.bin"));
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(file_facts(path("image.bin")).kind, FileKind::regular);
  EXPECT_EQ(file_facts(path("link.bin")).kind, FileKind::regular);
  EXPECT_EQ(file_facts(path("fifo")).kind, FileKind::fifo);
  EXPECT_EQ(file_facts(folder_.string()).kind, FileKind::directory);
  EXPECT_EQ(file_facts("/dev/null").kind, FileKind::character_device);
  EXPECT_EQ(file_facts(path("none")).kind, FileKind::missing);
  EXPECT_FALSE(file_facts("/dev/null").group.empty());
}

TEST_F(FileFactsTest, SameFileThroughLinksOnlyWhenBothExist) {
  std::ofstream(path("a.bin")) << "a";
  std::ofstream(path("b.bin")) << "b";
  fs::create_symlink(path("a.bin"), path("to-a.bin"));
  EXPECT_EQ(same_existing_file(path("a.bin"), path("to-a.bin")), true);
  EXPECT_EQ(same_existing_file(path("a.bin"), path("b.bin")), false);
  EXPECT_EQ(same_existing_file(path("a.bin"), path("none")), std::nullopt);
}

TEST_F(FileFactsTest, RefusalNamesTheReason) {
  EXPECT_EQ(read_write_refusal("/dev/null"), std::nullopt);
  EXPECT_EQ(read_write_refusal(path("none")), "No such file or directory");
}

TEST_F(FileFactsTest, AnonymousFileHasNoNameAndGoesWithTheObject) {
  ::setenv("TMPDIR", folder_.c_str(), 1);
  std::string reached;
  {
    const AnonymousFile file;
    reached = file.path();
    std::ofstream(reached) << "image";
    EXPECT_TRUE(fs::is_empty(folder_));
    std::string back;
    std::ifstream(reached) >> back;
    EXPECT_EQ(back, "image");
  }
  EXPECT_FALSE(fs::exists(reached));
  ::setenv("TMPDIR", path("none").c_str(), 1);
  EXPECT_THROW(AnonymousFile{}, FileError);
  ::unsetenv("TMPDIR");
}

}  // namespace
}  // namespace fp::posix
