// Record image files: what a HEX or S-record file holds comes back byte for
// byte and address for address, and a bad file is refused with its name and
// the reason, never half read or half written.
#include "frontends/cli/image_format.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/test_folder.h"

namespace fp::cli {
namespace {

class RecordFiles : public testing::Test {
 protected:
  std::string path(const std::string& name) const { return (folder_.path() / name).string(); }
  void write_text(const std::string& name, const std::string& text) const {
    std::ofstream(path(name)) << text;
  }
  std::string read_text(const std::string& name) const {
    std::ifstream file(path(name));
    return {std::istreambuf_iterator<char>(file), {}};
  }

  test::TestFolder folder_{"fp-records"};
};

RecordImage sample_image() {
  // Two runs with a hole between them, the second across the 64 KiB line
  // where the formats need their extended addresses.
  RecordImage image;
  for (uint32_t i = 0; i < 0x30; ++i) image.set(0x10 + i, static_cast<uint8_t>(i * 7));
  for (uint32_t i = 0; i < 0x140; ++i) image.set(0xFFC0 + i, static_cast<uint8_t>(0xFF - i));
  return image;
}

void expect_same(const RecordImage& a, const RecordImage& b) {
  ASSERT_EQ(a.end(), b.end());
  for (uint32_t address = 0; address < a.end(); ++address) {
    ASSERT_EQ(a.has(address), b.has(address)) << std::hex << address;
    if (a.has(address)) {
      ASSERT_EQ(a.at(address), b.at(address)) << std::hex << address;
    }
  }
}

TEST(ImageFormat, ChosenByNameOrByExtension) {
  EXPECT_EQ(format_for_path("chip.HEX"), ImageFormat::intel_hex);
  EXPECT_EQ(format_for_path("dir.s19/chip.ihx"), ImageFormat::intel_hex);
  for (const char* name : {"a.s19", "a.s28", "a.S37", "a.srec"}) {
    EXPECT_EQ(format_for_path(name), ImageFormat::motorola) << name;
  }
  for (const char* name : {"a.bin", "a.rom", "hex", "a.hex.bin"}) {
    EXPECT_EQ(format_for_path(name), ImageFormat::raw) << name;
  }
  EXPECT_EQ(format_by_name("srec"), ImageFormat::motorola);
  EXPECT_EQ(format_by_name("ihex"), std::nullopt);
}

TEST(ImageFormat, OnlyTheWholeLastExtensionCounts) {
  for (const char* name : {"a.IHX", "a.Hex", "x.s19.hex", "dir.bin/a.hex"}) {
    EXPECT_EQ(format_for_path(name), ImageFormat::intel_hex) << name;
  }
  for (const char* name : {"A.SREC", "a.S19", "dir/a.b.s28"}) {
    EXPECT_EQ(format_for_path(name), ImageFormat::motorola) << name;
  }
  for (const char* name : {"a.hexx", "a.s190", "a.s1", "a.srecord", "a.xhex", "ahex", "a.hex.",
                           "dir.hex/a", "dir.srec/a.bin", ""}) {
    EXPECT_EQ(format_for_path(name), ImageFormat::raw) << name;
  }
}

TEST(RecordImageRaw, FillsTheHolesWithErasedBytes) {
  RecordImage image;
  image.set(2, 0x00);
  image.set(5, 0x12);
  EXPECT_EQ(image.raw(1, 6), (std::vector<uint8_t>{0xFF, 0x00, 0xFF, 0xFF, 0x12, 0xFF}));
  EXPECT_EQ(image.first_in(3, 100), 5u);
  EXPECT_EQ(image.first_in(6, 100), std::nullopt);
}

TEST_F(RecordFiles, RoundTripKeepsEveryAddressAndEveryHole) {
  const RecordImage image = sample_image();
  for (const char* name : {"image.hex", "image.s19", "image.s28", "image.s37"}) {
    SCOPED_TRACE(name);
    const ImageFormat format = format_for_path(name);
    write_record_file(path(name), format, image, true);
    expect_same(read_record_file(path(name), format, true), image);
  }
  // The S-record length the extension names is the one written.
  EXPECT_NE(read_text("image.s28").find("\nS2"), std::string::npos);
  EXPECT_NE(read_text("image.s37").find("\nS3"), std::string::npos);
  EXPECT_EQ(read_text("image.s37").find("\nS1"), std::string::npos);
}

TEST_F(RecordFiles, ReadsWhatAnotherToolWrote) {
  write_text("other.hex",
             ":0400100001020304E2\n"
             ":020000040001F9\n"
             ":02000000AABB99\n"
             ":00000001FF\n");
  const RecordImage image = read_record_file(path("other.hex"), ImageFormat::intel_hex, true);
  EXPECT_EQ(image.raw(0x10, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(image.raw(0x10000, 2), (std::vector<uint8_t>{0xAA, 0xBB}));
  EXPECT_FALSE(image.has(0x14));
  EXPECT_EQ(image.end(), 0x10002u);
}

TEST_F(RecordFiles, DataAnywhereInThirtyTwoBits) {
  write_text("far.hex", ":020000040800F2\n:0100000001FE\n:00000001FF\n");
  const RecordImage image = read_record_file(path("far.hex"), ImageFormat::intel_hex, true);
  EXPECT_EQ(image.first_in(0, image.end()), 0x8000000u);
  EXPECT_EQ(image.raw(0x7FFFFFF, 3), (std::vector<uint8_t>{0xFF, 0x01, 0xFF}));
  write_record_file(path("copy.hex"), ImageFormat::intel_hex, image, true);
  EXPECT_EQ(read_text("copy.hex"), ":020000040800F2\n:0100000001FE\n:00000001FF\n");
}

TEST_F(RecordFiles, BadFilesAreRefusedWithTheirNameAndReason) {
  write_text("checksum.hex", ":0400100001020304E3\n:00000001FF\n");
  write_text("garbage.s19", "S1130000000102030405060708090A0B0C0D0E0F74\nhello\n");
  write_text("twice.hex", ":0100100001EE\n:0100100002ED\n:00000001FF\n");
  const struct {
    const char* name;
    ImageFormat format;
    const char* reason;
  } cases[] = {
      {"checksum.hex", ImageFormat::intel_hex, "checksum"},
      {"garbage.s19", ImageFormat::motorola, ""},
      {"twice.hex", ImageFormat::intel_hex, "address 10h is given twice, with different data"},
      {"missing.hex", ImageFormat::intel_hex, "No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      read_record_file(path(c.name), c.format, true);
      ADD_FAILURE() << "accepted";
    } catch (const ImageError& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.rfind(path(c.name), 0), 0u) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

TEST_F(RecordFiles, TheLibrarysReasonsComeInTheRunsLanguage) {
  write_text("checksum.hex", ":0400100001020304E3\n:00000001FF\n");
  write_text("digit.hex", ":04001000010203\n:00000001FF\n");
  write_text("type.hex", ":0400100701020304DB\n:00000001FF\n");
  write_text("checksum.s19", "S107001001020304DF\nS9030000FC\n");
  write_text("count.s19", "S5030005F7\nS9030000FC\n");
  const struct {
    const char* name;
    const char* english;
    const char* russian;
  } cases[] = {
      {"checksum.hex", ": 1: checksum mismatch (01 != 00)",
       ": 1: контрольная сумма не сходится (01 != 00)"},
      {"digit.hex", ": 1: hexadecimal digit expected", ": 1: ожидалась шестнадцатеричная цифра"},
      {"type.hex", ": 1: record type not recognised", ": 1: тип записи не распознан"},
      {"checksum.s19", ": 1: checksum mismatch (00 != FF)",
       ": 1: контрольная сумма не сходится (00 != FF)"},
      {"count.s19", ": 1: warning: no header record", ": 1: предупреждение: нет записи заголовка"},
  };
  for (const auto& c : cases) {
    for (const bool english : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (english ? " en" : " ru"));
      try {
        read_record_file(path(c.name), format_for_path(c.name), english);
        ADD_FAILURE() << "accepted";
      } catch (const ImageError& error) {
        EXPECT_EQ(error.what(), path(c.name) + (english ? c.english : c.russian));
      }
    }
  }
}

TEST_F(RecordFiles, CutShortFilesAreRefusedWithTheLine) {
  write_text("no_eof.hex", ":0400100001020304E2\n:0400140001020304DE\n");
  write_text("after_eof.hex", ":0400100001020304E2\n:00000001FF\n:0400140001020304DE\n");
  write_text("no_end.s19", "S0030000FC\nS107001001020304DE\n");
  write_text("after_end.s19", "S107001001020304DE\nS9030000FC\nS107001401020304DA\n");
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"no_eof.hex", ": 2: the file ends without its end-of-file record"},
      {"after_eof.hex", ": 3: a record after the end-of-file record"},
      {"no_end.s19", ": 2: the file ends without its end record (S7, S8 or S9)"},
      {"after_end.s19", ": 3: a record after the end record"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      read_record_file(path(c.name), format_for_path(c.name), true);
      ADD_FAILURE() << "accepted";
    } catch (const ImageError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(path(c.name) + c.reason, 0), 0u) << error.what();
    }
  }
  // Nothing at all is no records, not a file cut short: a read may fill it.
  write_text("empty.hex", "");
  EXPECT_TRUE(read_record_file(path("empty.hex"), ImageFormat::intel_hex, true).empty());
}

TEST_F(RecordFiles, EndlessFilesAreRefusedWithoutReadingThemWhole) {
  EXPECT_THROW(read_record_file("/dev/zero", ImageFormat::intel_hex, true), ImageError);
  write_text("long.s19", "S1" + std::string(RECORD_LINE_LIMIT, '0') + "\n");
  try {
    read_record_file(path("long.s19"), ImageFormat::motorola, true);
    ADD_FAILURE() << "accepted";
  } catch (const ImageError& error) {
    EXPECT_NE(std::string(error.what()).find(": 1: too long for a record"), std::string::npos);
  }
}

TEST_F(RecordFiles, SRecordFilesCarryAHeaderAndTheEndOfTheirWidth) {
  RecordImage low;
  low.set(0x10, 0xAB);
  const struct {
    const char* name;
    RecordImage image;
    const char* data;
    const char* end;
  } cases[] = {
      {"a.s19", low, "\nS1", "\nS9030000FC\n"},
      {"a.s28", low, "\nS2", "\nS804000000FB\n"},
      {"a.s37", low, "\nS3", "\nS70500000000FA\n"},
      // Past 64 KiB a .s19 file needs the wider records, and their end.
      {"b.s19", sample_image(), "\nS2", "\nS804000000FB\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    write_record_file(path(c.name), ImageFormat::motorola, c.image, true);
    const std::string text = read_text(c.name);
    EXPECT_EQ(text.rfind("S0030000FC\n", 0), 0u) << text;
    EXPECT_NE(text.find(c.data), std::string::npos) << text;
    EXPECT_EQ(text.find("\nS1"),
              c.data == std::string("\nS1") ? text.find(c.data) : std::string::npos);
    EXPECT_TRUE(text.ends_with(c.end)) << text;
  }
}

TEST_F(RecordFiles, AWriteKeepsTheRecordsItDoesNotOwn) {
  write_text("start.hex", ":0100100001EE\n:0400000500001234B1\n:00000001FF\n");
  write_text("named.s28", "S008000068656C6C6FE3\nS2050000100AE0\nS804000100FA\n");
  RecordImage slice;
  slice.set(0x11, 0x02);
  write_record_file(path("start.hex"), ImageFormat::intel_hex, slice, true);
  write_record_file(path("named.s28"), ImageFormat::motorola, slice, true);

  const RecordImage hex = read_record_file(path("start.hex"), ImageFormat::intel_hex, true);
  EXPECT_EQ(hex.raw(0x10, 2), (std::vector<uint8_t>{0x01, 0x02}));
  EXPECT_EQ(hex.kept.start_address, 0x1234u);
  EXPECT_NE(read_text("start.hex").find(":0400000500001234B1\n"), std::string::npos);

  const RecordImage srec = read_record_file(path("named.s28"), ImageFormat::motorola, true);
  EXPECT_EQ(srec.raw(0x10, 2), (std::vector<uint8_t>{0x0A, 0x02}));
  EXPECT_EQ(srec.kept.header, (std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(srec.kept.start_address, 0x100u);
  EXPECT_EQ(read_text("named.s28").rfind("S008000068656C6C6FE3\n", 0), 0u);
}

TEST_F(RecordFiles, TemporaryNamesBesideTheFileAreNeverTouched) {
  // An unrelated file, and a link planted where a fixed temporary name would be.
  write_text("fw.hex.new", "mine\n");
  write_text("elsewhere.txt", "precious\n");
  std::filesystem::create_symlink(path("elsewhere.txt"), path("g.hex.new"));
  write_record_file(path("fw.hex"), ImageFormat::intel_hex, sample_image(), true);
  write_record_file(path("g.hex"), ImageFormat::intel_hex, sample_image(), true);
  EXPECT_EQ(read_text("fw.hex.new"), "mine\n");
  EXPECT_EQ(read_text("elsewhere.txt"), "precious\n");
  EXPECT_TRUE(std::filesystem::is_symlink(path("g.hex.new")));
  // Nothing else is left in the folder.
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.path()))
    ++files;
  EXPECT_EQ(files, 5u);
  // The longest name a folder takes can still be replaced.
  const std::string longest = std::string(251, 'n') + ".hex";
  write_record_file(path(longest), ImageFormat::intel_hex, sample_image(), true);
  write_record_file(path(longest), ImageFormat::intel_hex, sample_image(), true);
  expect_same(read_record_file(path(longest), ImageFormat::intel_hex, true), sample_image());
}

TEST_F(RecordFiles, ALinkIsWrittenThroughAndTheModeKept) {
  write_text("real.hex", ":0100100001EE\n:00000001FF\n");
  std::filesystem::permissions(path("real.hex"), std::filesystem::perms(0640));
  std::filesystem::create_symlink("real.hex", path("link.hex"));
  RecordImage slice;
  slice.set(0x11, 0x02);
  write_record_file(path("link.hex"), ImageFormat::intel_hex, slice, true);
  EXPECT_TRUE(std::filesystem::is_symlink(path("link.hex")));
  EXPECT_EQ(read_record_file(path("real.hex"), ImageFormat::intel_hex, true).raw(0x10, 2),
            (std::vector<uint8_t>{0x01, 0x02}));
  EXPECT_EQ(std::filesystem::status(path("real.hex")).permissions(), std::filesystem::perms(0640));
}

TEST_F(RecordFiles, AFileTheUserMayNotWriteOrAnotherProgramHoldsIsRefused) {
  const std::string old_text = ":0100100001EE\n:00000001FF\n";
  write_text("held.hex", old_text);
  const int holder = ::open(path("held.hex").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  EXPECT_THROW(write_record_file(path("held.hex"), ImageFormat::intel_hex, sample_image(), true),
               ImageError);
  ::close(holder);
  EXPECT_EQ(read_text("held.hex"), old_text);
  if (::geteuid() != 0) {
    write_text("mine.hex", old_text);
    std::filesystem::permissions(path("mine.hex"), std::filesystem::perms(0444));
    EXPECT_THROW(write_record_file(path("mine.hex"), ImageFormat::intel_hex, sample_image(), true),
                 ImageError);
    EXPECT_EQ(read_text("mine.hex"), old_text);
  }
}

TEST_F(RecordFiles, AFailedWriteLeavesTheOldFileAsItWasAndNothingBeside) {
  const std::string old_text = ":0100100001EE\n:00000001FF\n";
  write_text("kept.hex", old_text);
  // The disk is full for this process from the 256th byte of any file.
  struct sigaction ignored {};
  ignored.sa_handler = SIG_IGN;
  struct sigaction previous {};
  sigaction(SIGXFSZ, &ignored, &previous);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{256, limit.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  std::string message;
  try {
    write_record_file(path("kept.hex"), ImageFormat::intel_hex, sample_image(), true);
  } catch (const ImageError& error) {
    message = error.what();
  }
  setrlimit(RLIMIT_FSIZE, &limit);
  sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_EQ(message, path("kept.hex") + ": File too large");
  EXPECT_EQ(read_text("kept.hex"), old_text);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.path()))
    ++files;
  EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace fp::cli
