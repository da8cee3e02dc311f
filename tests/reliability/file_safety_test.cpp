// Image files under many random slices (fixed seed, so a failure names a case
// that can be replayed): a save changes exactly its slice, a load succeeds
// exactly when the file holds the slice, and a Read whose file cannot be
// written leaves that file as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <tuple>

#include "app/main_window.h"
#include "bus/number_text.h"
#include "platform/image_file.h"
#include "platform/utf8.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/test_folder.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t SEED = 20240611;

using Bytes = std::vector<uint8_t>;

class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  uint32_t below(uint32_t bound) {  // 0 .. bound-1
    return std::uniform_int_distribution<uint32_t>(0, bound - 1)(engine_);
  }
  uint32_t between(uint32_t low, uint32_t high) {
    return std::uniform_int_distribution<uint32_t>(low, high)(engine_);
  }
  bool chance(uint32_t percent) { return below(100) < percent; }
  Bytes bytes(size_t count) {
    Bytes result(count);
    for (auto& byte : result) byte = static_cast<uint8_t>(below(256));
    return result;
  }

 private:
  std::mt19937 engine_;
};

class FileSafetyTest : public ::testing::Test {
 protected:
  // The file as it stands, or nothing when it does not exist.
  std::optional<Bytes> contents(const fs::path& file) {
    if (!fs::exists(file)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void put(const fs::path& file, const std::optional<Bytes>& bytes) {
    fs::remove(file);
    if (!bytes) return;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
  }

  test::TestFolder temp{"file_safety"};
  const fs::path& folder = temp.path();
};

// A file offset: mostly near the file's end, where growing and gaps happen.
uint32_t random_offset(Random& random, size_t file_size) {
  if (random.chance(50)) return random.below(static_cast<uint32_t>(file_size) + 0x100);
  return random.below(0x3000);
}

std::string describe(int case_number, const std::optional<Bytes>& file, uint32_t offset,
                     uint32_t count) {
  std::ostringstream text;
  text << "case " << case_number << ": file "
       << (file ? std::to_string(file->size()) + " bytes" : std::string("absent")) << ", offset 0x"
       << std::hex << offset << ", count 0x" << count;
  return text.str();
}

// Equal files, or where they part (the whole contents would drown the report).
::testing::AssertionResult same_file(const std::optional<Bytes>& actual,
                                     const std::optional<Bytes>& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  if (!actual || !expected) {
    return ::testing::AssertionFailure()
           << "the file " << (actual ? "exists" : "is missing") << ", expected it "
           << (expected ? "to exist" : "to be missing");
  }
  size_t first = 0;
  while (first < actual->size() && first < expected->size() &&
         (*actual)[first] == (*expected)[first]) {
    ++first;
  }
  return ::testing::AssertionFailure()
         << "the file has " << actual->size() << " bytes, expected " << expected->size()
         << "; first difference at 0x" << std::hex << first;
}

TEST_F(FileSafetyTest, SavesAndLoadsFollowAModelOfTheFile) {
  Random random(SEED);
  const fs::path file = folder / "image.bin";
  const std::u16string path = from_utf8(file.string());
  constexpr size_t GUARD = 16;
  constexpr uint8_t CANARY = 0xC3;

  for (int case_number = 0; case_number < 300; ++case_number) {
    std::optional<Bytes> model;
    if (random.chance(80)) model = random.bytes(random.below(0x2000));
    put(file, model);
    const int operations = static_cast<int>(random.between(1, 6));
    for (int step = 0; step < operations; ++step) {
      const uint32_t offset = random_offset(random, model ? model->size() : 0);
      const uint32_t count = random.between(1, 0x1800);
      const std::string where = describe(case_number, model, offset, count);
      if (random.chance(50)) {
        const Bytes slice = random.bytes(count);
        ASSERT_EQ(save_image(path, slice.data(), offset, count), 0u) << where;
        if (!model) model.emplace();
        if (model->size() < offset + count) model->resize(offset + count, 0);
        std::copy(slice.begin(), slice.end(), model->begin() + offset);
        ASSERT_TRUE(same_file(contents(file), model)) << "after save, " << where;
      } else {
        Bytes buffer(count + GUARD, CANARY);
        const bool holds = model && offset + count <= model->size();
        const uint32_t result = load_image(path, buffer.data(), offset, count);
        ASSERT_EQ(result == 0, holds) << "load result " << result << ", " << where;
        // What the file has of the slice arrives even when it is short.
        const size_t available =
            model && offset < model->size() ? std::min<size_t>(count, model->size() - offset) : 0;
        for (size_t i = 0; i < available; ++i) {
          ASSERT_EQ(buffer[i], (*model)[offset + i]) << "byte " << i << ", " << where;
        }
        for (size_t i = count; i < buffer.size(); ++i) {
          ASSERT_EQ(buffer[i], CANARY) << "written past the slice, " << where;
        }
        ASSERT_TRUE(same_file(contents(file), model)) << "a load changed the file, " << where;
      }
    }
  }
}

TEST_F(FileSafetyTest, LoadsFarBeyondTheEndFailWithoutTouchingTheBuffer) {
  const fs::path file = folder / "small.bin";
  put(file, Bytes(0x100, 0x11));
  Bytes buffer(0x20, 0xEE);
  for (const uint32_t offset : {0x101u, 0x10000u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
    EXPECT_NE(load_image(from_utf8(file.string()), buffer.data(), offset, 0x10), 0u) << offset;
    EXPECT_EQ(buffer, Bytes(0x20, 0xEE)) << offset;
  }
}

// A Read (chip to file) on the simulated board through the main window logic.
// The socket is empty, so the chip reads 0xFF everywhere: whatever reaches the
// file shows.
class ReadIntoFile {
 public:
  ReadIntoFile() : window_(*rig_.context) { window_.on_init(rig_.view.window); }

  std::vector<test::ShownBox> read(const fs::path& file, uint32_t file_offset, uint32_t length) {
    FakeMainView& view = rig_.view;
    view.window.boxes.clear();
    view.window.set_text(ctl::IMAGE_PATH, from_utf8(file.string()));
    view.window.set_checked(ctl::EXTRA_PARAMETERS, true);
    view.window.set_text(ctl::FILE_OFFSET, hex_text(file_offset));
    view.window.set_text(ctl::ROM_OFFSET, u"0");
    view.window.set_text(ctl::BLOCK_LENGTH, hex_text(length));
    window_.on_command(view.window, command_value(ctl::READ));
    return view.window.boxes;
  }
  [[nodiscard]] uint32_t chip_size() const { return rig_.context->chip_size; }

 private:
  using FakeMainView = test::FakeMainView;
  test::SimulatedRig rig_;
  MainWindow window_;
};

const test::ShownBox WRITE_FAILED{text::FILE_WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR};
const test::ShownBox SAVED{text::FILE_SAVED, text::PROGRAMMER, mb::OK};

// Another program holding the file: a reader (shared) or a writer (exclusive).
class LockHolder {
 public:
  LockHolder(const fs::path& file, bool exclusive)
      : descriptor_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
    locked_ = descriptor_ >= 0 && ::flock(descriptor_, exclusive ? LOCK_EX : LOCK_SH) == 0;
  }
  ~LockHolder() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  [[nodiscard]] bool locked() const { return locked_; }

 private:
  int descriptor_;
  bool locked_ = false;
};

// A file-size limit (a full disk or a quota, as the process sees it): writes
// stop at the limit, and the signal that would end the process is ignored.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    ::getrlimit(RLIMIT_FSIZE, &old_limit_);
    const rlimit lowered{limit, old_limit_.rlim_max};
    applied_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_limit_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  [[nodiscard]] bool applied() const { return applied_; }

 private:
  rlimit old_limit_{};
  void (*old_handler_)(int) = SIG_DFL;
  bool applied_ = false;
};

TEST_F(FileSafetyTest, AReadIntoAFileHeldByAnotherProgramLeavesItAsItWas) {
  Random random(SEED + 1);
  ReadIntoFile program;
  const fs::path file = folder / "held.bin";
  for (int case_number = 0; case_number < 60; ++case_number) {
    const auto before = random.bytes(random.below(0x3000) + 1);
    put(file, before);
    const uint32_t length = random.between(1, 0x2000);
    const uint32_t offset = random_offset(random, before.size());
    const std::string where = describe(case_number, before, offset, length);
    {
      const LockHolder holder(file, random.chance(50));
      ASSERT_TRUE(holder.locked());
      EXPECT_EQ(program.read(file, offset, length), std::vector{WRITE_FAILED}) << where;
    }
    ASSERT_TRUE(same_file(contents(file), before)) << where;
  }
}

TEST_F(FileSafetyTest, AReadThatRunsOutOfSpaceLeavesTheFileAsItWas) {
  Random random(SEED + 2);
  ReadIntoFile program;
  const fs::path file = folder / "full.bin";
  for (int case_number = 0; case_number < 120; ++case_number) {
    std::optional<Bytes> before;
    if (random.chance(80)) before = random.bytes(random.below(0x3000));
    put(file, before);
    const uint32_t length = random.between(1, 0x2000);
    const uint32_t offset = random_offset(random, before ? before->size() : 0);
    // Room for none, some or nearly all of the slice, never for its end.
    const rlim_t limit = random.below(offset + length);
    const std::string where =
        describe(case_number, before, offset, length) + ", limit " + std::to_string(limit);
    std::vector<test::ShownBox> boxes;
    {
      const FileSizeLimit full(limit);
      ASSERT_TRUE(full.applied());
      boxes = program.read(file, offset, length);
    }
    EXPECT_EQ(boxes, std::vector{WRITE_FAILED}) << where;
    ASSERT_TRUE(same_file(contents(file), before)) << where;
  }
}

TEST_F(FileSafetyTest, ASaveCutShortPutsBackTheBytesAndTheLengthItHadChanged) {
  const fs::path file = folder / "image.bin";
  const std::u16string path = from_utf8(file.string());
  Bytes counting(0x10);
  for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>(i);
  const Bytes slice(0x20, 0xAA);
  // {file size, slice offset, size limit}: over the end, and beyond it after a gap.
  for (const auto& [size, offset, limit] : {std::tuple{0x10u, 0x8u, 0x18u}, {0x4u, 0x8u, 0x9u}}) {
    SCOPED_TRACE(offset);
    const Bytes before(counting.begin(), counting.begin() + size);
    put(file, before);
    {
      const FileSizeLimit full(limit);
      ASSERT_TRUE(full.applied());
      EXPECT_NE(save_image(path, slice.data(), offset, 0x20), 0u);
    }
    EXPECT_TRUE(same_file(contents(file), before));
  }
}

TEST_F(FileSafetyTest, AReadIntoAPathThatIsNoFileCreatesNothing) {
  ReadIntoFile program;
  const fs::path directory = folder / "directory.bin";
  fs::create_directory(directory);
  const fs::path plain = folder / "plain.bin";
  put(plain, Bytes(0x40, 0x22));
  for (const fs::path& target :
       {directory, folder / "missing" / "image.bin", plain / "image.bin", fs::path()}) {
    EXPECT_EQ(program.read(target, 0, 0x10), std::vector{WRITE_FAILED}) << target;
  }
  EXPECT_TRUE(fs::is_empty(directory));
  EXPECT_FALSE(fs::exists(folder / "missing"));
  EXPECT_TRUE(same_file(contents(plain), Bytes(0x40, 0x22)));
}

TEST_F(FileSafetyTest, AReadIntoAWritableFileChangesOnlyItsSlice) {
  Random random(SEED + 3);
  ReadIntoFile program;
  const fs::path file = folder / "target.bin";
  for (int case_number = 0; case_number < 60; ++case_number) {
    std::optional<Bytes> expected;
    if (random.chance(80)) expected = random.bytes(random.below(0x3000));
    put(file, expected);
    const uint32_t length = random.between(1, program.chip_size());
    const uint32_t offset = random_offset(random, expected ? expected->size() : 0);
    const std::string where = describe(case_number, expected, offset, length);
    EXPECT_EQ(program.read(file, offset, length), std::vector{SAVED}) << where;
    if (!expected) expected.emplace();
    if (expected->size() < offset + length) expected->resize(offset + length, 0);
    std::fill_n(expected->begin() + offset, length, 0xFF);
    ASSERT_TRUE(same_file(contents(file), expected)) << where;
  }
}

}  // namespace
}  // namespace fp
