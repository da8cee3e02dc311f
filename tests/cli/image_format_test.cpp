// Record image files: what a HEX or S-record file holds comes back byte for
// byte and address for address, and a bad file is refused with its name and
// the reason, never half read or half written.
#include "ui/cli/image_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fp::cli {
namespace {

class RecordFiles : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("fp-records-" + std::to_string(::getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  void write_text(const std::string& name, const std::string& text) const {
    std::ofstream(path(name)) << text;
  }
  std::string read_text(const std::string& name) const {
    std::ifstream file(path(name));
    return {std::istreambuf_iterator<char>(file), {}};
  }

  std::filesystem::path folder_;
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
    write_record_file(path(name), format, image);
    expect_same(read_record_file(path(name), format), image);
  }
  // The S-record length the extension names is the one written.
  EXPECT_NE(read_text("image.s28").find("\nS2"), std::string::npos);
  EXPECT_NE(read_text("image.s37").find("\nS3"), std::string::npos);
  EXPECT_EQ(read_text("image.s37").find("\nS1"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path("image.hex.new")));
}

TEST_F(RecordFiles, ReadsWhatAnotherToolWrote) {
  write_text("other.hex",
             ":0400100001020304E2\n"
             ":020000040001F9\n"
             ":02000000AABB99\n"
             ":00000001FF\n");
  const RecordImage image = read_record_file(path("other.hex"), ImageFormat::intel_hex);
  EXPECT_EQ(image.raw(0x10, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(image.raw(0x10000, 2), (std::vector<uint8_t>{0xAA, 0xBB}));
  EXPECT_FALSE(image.has(0x14));
  EXPECT_EQ(image.end(), 0x10002u);
}

TEST_F(RecordFiles, BadFilesAreRefusedWithTheirNameAndReason) {
  write_text("checksum.hex", ":0400100001020304E3\n:00000001FF\n");
  write_text("garbage.s19", "S1130000000102030405060708090A0B0C0D0E0F74\nhello\n");
  write_text("twice.hex", ":0100100001EE\n:0100100002ED\n:00000001FF\n");
  write_text("far.hex", ":020000040800F2\n:0100000001FE\n:00000001FF\n");
  const struct {
    const char* name;
    ImageFormat format;
    const char* reason;
  } cases[] = {
      {"checksum.hex", ImageFormat::intel_hex, "checksum"},
      {"garbage.s19", ImageFormat::motorola, ""},
      {"twice.hex", ImageFormat::intel_hex, "address 10h is given twice, with different data"},
      {"far.hex", ImageFormat::intel_hex, "data at 8000000h lies beyond any chip"},
      {"missing.hex", ImageFormat::intel_hex, "No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      read_record_file(path(c.name), c.format);
      ADD_FAILURE() << "accepted";
    } catch (const ImageError& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.rfind(path(c.name), 0), 0u) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

TEST_F(RecordFiles, AFailedWriteLeavesTheOldFileAsItWas) {
  write_text("kept.hex", ":0100100001EE\n:00000001FF\n");
  std::filesystem::create_directory(path("kept.hex.new"));  // the new file cannot be made
  EXPECT_THROW(write_record_file(path("kept.hex"), ImageFormat::intel_hex, sample_image()),
               ImageError);
  EXPECT_EQ(read_text("kept.hex"), ":0100100001EE\n:00000001FF\n");
}

}  // namespace
}  // namespace fp::cli
