#include "platform/image_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/utf8.h"
#include "tests/support/test_folder.h"

namespace fp {
namespace {

namespace fs = std::filesystem;

// Another process reading the file: it holds a shared lock of both kinds a
// program may take (flock and fcntl) until the holder is destroyed.
class ReaderInAnotherProcess {
 public:
  explicit ReaderInAnotherProcess(const std::filesystem::path& file) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    child_ = ::fork();
    if (child_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      const int descriptor = ::open(file.c_str(), O_RDONLY);
      struct flock range {};
      range.l_type = F_RDLCK;
      range.l_whence = SEEK_SET;
      const bool held = descriptor >= 0 && ::flock(descriptor, LOCK_SH) == 0 &&
                        ::fcntl(descriptor, F_SETLK, &range) == 0;
      const char answer = held ? 'y' : 'n';
      char ignored = 0;
      if (::write(ready[1], &answer, 1) == 1) {
        [[maybe_unused]] const ssize_t released = ::read(release[0], &ignored, 1);
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char answer = 0;
    locked_ = child_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
  }
  ~ReaderInAnotherProcess() {
    if (release_ >= 0) ::close(release_);  // the child's read ends, and so does the child
    if (child_ > 0) ::waitpid(child_, nullptr, 0);
  }
  ReaderInAnotherProcess(const ReaderInAnotherProcess&) = delete;
  ReaderInAnotherProcess& operator=(const ReaderInAnotherProcess&) = delete;
  [[nodiscard]] bool locked() const { return locked_; }

 private:
  pid_t child_ = -1;
  int release_ = -1;
  bool locked_ = false;
};

class ImageFileTest : public ::testing::Test {
 protected:
  std::u16string path(const std::string& name) { return from_utf8((folder / name).string()); }
  void write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream file(folder / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }
  std::vector<uint8_t> read(const std::string& name) {
    std::ifstream file(folder / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  static std::vector<uint8_t> counting(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i);
    return bytes;
  }

  test::TestFolder temp{"image_file_test"};
  const fs::path& folder = temp.path();
};

TEST_F(ImageFileTest, LoadReadsTheSliceAtTheOffset) {
  write("a.bin", counting(0x100));
  std::vector<uint8_t> buffer(0x10, 0xEE);
  EXPECT_EQ(load_image(path("a.bin"), buffer.data(), 0x20, 0x10), 0u);
  EXPECT_EQ(buffer[0], 0x20);
  EXPECT_EQ(buffer[15], 0x2F);
}

TEST_F(ImageFileTest, LoadFailsWhenTheFileEndsInsideTheSlice) {
  write("a.bin", counting(0x100));
  std::vector<uint8_t> buffer(0x100);
  EXPECT_NE(load_image(path("a.bin"), buffer.data(), 0x10, 0x100), 0u);
  EXPECT_EQ(buffer[0], 0x10);  // what was read stays
  EXPECT_NE(load_image(path("a.bin"), buffer.data(), 0x200, 1), 0u);
  EXPECT_NE(load_image(path("missing.bin"), buffer.data(), 0, 1), 0u);
  EXPECT_NE(load_image(from_utf8(folder.string()), buffer.data(), 0, 1), 0u);
  EXPECT_NE(load_image(u"", buffer.data(), 0, 1), 0u);
}

TEST_F(ImageFileTest, LoadSharesTheFileWithAnotherReader) {
  write("a.bin", counting(0x40));
  const ReaderInAnotherProcess reader(folder / "a.bin");
  ASSERT_TRUE(reader.locked());
  std::vector<uint8_t> buffer(0x10);
  EXPECT_EQ(load_image(path("a.bin"), buffer.data(), 0x30, 0x10), 0u);
  EXPECT_EQ(buffer[0], 0x30);
  // A writer would still be refused while the reader holds the file.
  EXPECT_NE(save_image(path("a.bin"), buffer.data(), 0, 0x10), 0u);
}

TEST_F(ImageFileTest, SaveReplacesOnlyTheSliceAndNeverTruncates) {
  write("a.bin", counting(16));
  const std::vector<uint8_t> slice{0xA0, 0xA1, 0xA2, 0xA3};
  EXPECT_EQ(save_image(path("a.bin"), slice.data(), 2, 4), 0u);
  auto expected = counting(16);
  std::copy(slice.begin(), slice.end(), expected.begin() + 2);
  EXPECT_EQ(read("a.bin"), expected);
}

TEST_F(ImageFileTest, SaveGrowsTheFileAndFillsAGapWithZeros) {
  write("a.bin", counting(4));
  const std::vector<uint8_t> slice{0xAA, 0xBB};
  EXPECT_EQ(save_image(path("a.bin"), slice.data(), 8, 2), 0u);
  EXPECT_EQ(read("a.bin"), (std::vector<uint8_t>{0, 1, 2, 3, 0, 0, 0, 0, 0xAA, 0xBB}));
  EXPECT_EQ(save_image(path("new.bin"), slice.data(), 0, 2), 0u);
  EXPECT_EQ(read("new.bin"), slice);
}

TEST_F(ImageFileTest, SaveRefusesAFileHeldOpenAndUnwritablePlaces) {
  write("held.bin", counting(8));
  const int holder = ::open((folder / "held.bin").c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_SH), 0);
  const std::vector<uint8_t> slice{0xAA};
  EXPECT_NE(save_image(path("held.bin"), slice.data(), 0, 1), 0u);
  ::close(holder);
  EXPECT_EQ(read("held.bin"), counting(8));

  EXPECT_NE(save_image(from_utf8(folder.string()), slice.data(), 0, 1), 0u);
  EXPECT_NE(save_image(path("no/such/folder.bin"), slice.data(), 0, 1), 0u);
  EXPECT_NE(save_image(u"", slice.data(), 0, 1), 0u);
}

TEST_F(ImageFileTest, FileSizeComesFromTheDirectoryEntry) {
  write("a.bin", counting(0x123));
  EXPECT_EQ(file_size(path("a.bin")), 0x123u);
  EXPECT_FALSE(file_size(path("missing.bin")).has_value());
  // Just over 4 GiB, without writing it: a sparse file.
  { std::ofstream big(folder / "big.bin", std::ios::binary); }
  fs::resize_file(folder / "big.bin", 0x100000010ull);
  EXPECT_EQ(file_size(path("big.bin")), 0x100000010ull);
}

TEST_F(ImageFileTest, NamesInCyrillicWork) {
  const std::vector<uint8_t> slice{1, 2, 3};
  EXPECT_EQ(save_image(path("прошивка.bin"), slice.data(), 0, 3), 0u);
  std::vector<uint8_t> back(3);
  EXPECT_EQ(load_image(path("прошивка.bin"), back.data(), 0, 3), 0u);
  EXPECT_EQ(back, slice);
}

TEST_F(ImageFileTest, NamesThatAreNoUtf8ReachTheSystemAsGiven) {
  // Another file whose name is the U+FFFD reading of the one asked for.
  write("x\xEF\xBF\xBD.bin", {0xAA});
  fs::create_directories(folder / "sub");
  const std::vector<uint8_t> slice{1, 2, 3};
  for (const std::string name : {"x\xFF.bin", "sub\xC0\xAFy.bin"}) {
    const std::u16string given = path_from_bytes((folder / name).string());
    ASSERT_EQ(save_image(given, slice.data(), 0, 3), 0u);
    EXPECT_EQ(read(name), slice);
    std::vector<uint8_t> back(3);
    ASSERT_EQ(load_image(given, back.data(), 0, 3), 0u);
    EXPECT_EQ(back, slice);
    EXPECT_EQ(file_size(given), 3u);
  }
  EXPECT_EQ(read("x\xEF\xBF\xBD.bin"), std::vector<uint8_t>{0xAA});
  EXPECT_FALSE(fs::exists(folder / "sub" / "y.bin"));
}

}  // namespace
}  // namespace fp
