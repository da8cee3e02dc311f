#include "platform/posix/file_facts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/posix/replaced_file.h"
#include "tests/support/test_folder.h"

namespace fp::posix {
namespace {

namespace fs = std::filesystem;

class FileFactsTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return (folder_.path() / name).string(); }

  test::TestFolder folder_{"file-facts"};
};

TEST_F(FileFactsTest, KindsFollowLinks) {
  std::ofstream(path("image.bin")) << "x";
  fs::create_symlink(path("image.bin"), path("link.bin"));
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(file_facts(path("image.bin")).kind, FileKind::regular);
  EXPECT_EQ(file_facts(path("link.bin")).kind, FileKind::regular);
  EXPECT_EQ(file_facts(path("fifo")).kind, FileKind::fifo);
  EXPECT_EQ(file_facts(folder_.path().string()).kind, FileKind::directory);
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
  EXPECT_EQ(read_write_refusal(path("none")), ENOENT);
}

TEST_F(FileFactsTest, AnonymousFileHasNoNameAndGoesWithTheObject) {
  ::setenv("TMPDIR", folder_.path().c_str(), 1);
  std::string reached;
  {
    const AnonymousFile file;
    reached = file.path();
    std::ofstream(reached) << "image";
    EXPECT_TRUE(fs::is_empty(folder_.path()));
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
