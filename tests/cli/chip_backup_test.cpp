// The files that keep a chip's old bytes: never one that exists, and what
// the operator is told names the file, how to put it back and what is lost.
#include "frontends/cli/chip_backup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/test_folder.h"

namespace fp::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string content(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RescueFile, LiesBesideTheImageAndNeverReplacesAFile) {
  test::TestFolder folder("rescue");
  const std::string image = (folder.path() / "image.bin").string();
  const WriteRescue rescue{0x1C000, {0x12, 0x34}, {}};
  const SavedRescue first = save_rescue(image, rescue, true);
  EXPECT_EQ(first.path, image + ".rescue-1C000h.bin");
  const SavedRescue second = save_rescue(image, WriteRescue{0x1C000, {0x56}, {}}, true);
  EXPECT_EQ(second.path, image + ".rescue-1C000h.1.bin");
  EXPECT_EQ(content(first.path), "\x12\x34");
  EXPECT_EQ(content(second.path), "\x56");
}

TEST(RescueFile, ThatCannotBeSavedSaysWhy) {
  const SavedRescue saved =
      save_rescue("/nonexistent-folder/image.bin", WriteRescue{0, {1}, {}}, true);
  EXPECT_TRUE(saved.path.empty());
  EXPECT_THAT(saved.error, HasSubstr("No such file or directory"));
  const std::string text = rescue_text(saved, WriteRescue{0, {1}, {{0, 1}}}, "AM28F001", true);
  EXPECT_THAT(text, HasSubstr("the old bytes of 0h could not be saved"));
  EXPECT_THAT(text, HasSubstr("not restored (1 byte): 0h"));
}

TEST(RescueText, NamesTheFileTheWayBackAndWhatIsNotRestored) {
  WriteRescue rescue{0x4000, std::vector<uint8_t>(0x2000), {}};
  const SavedRescue saved{"a.bin.rescue-4000h.bin", ""};
  const std::string whole = rescue_text(saved, rescue, "AT49F002", true);
  EXPECT_THAT(whole, HasSubstr("the old bytes of 4000h-5FFFh are saved in a.bin.rescue-4000h.bin"));
  EXPECT_THAT(whole, HasSubstr("programmer write a.bin.rescue-4000h.bin --chip AT49F002 "
                               "--chip-offset 4000 --length 2000 --format raw --port ..."));
  EXPECT_THAT(whole, HasSubstr("outside the slice every byte is as it was"));
  EXPECT_THAT(whole, Not(HasSubstr("not restored")));
  for (uint32_t i = 0; i < 10; ++i)
    rescue.not_restored.push_back({0x4000 + i * 16, 0x4008 + i * 16});
  const std::string lost = rescue_text(saved, rescue, "AT49F002", true);
  EXPECT_THAT(lost, HasSubstr("not restored (80 bytes): 4000h-4007h, 4010h-4017h"));
  EXPECT_THAT(lost, HasSubstr("4070h-4077h and 2 more ranges"));
  // A Russian run gives the same command and ranges.
  const std::string russian = rescue_text(saved, rescue, "AT49F002", false);
  EXPECT_THAT(russian, HasSubstr("прежние байты 4000h-5FFFh сохранены в a.bin.rescue-4000h.bin"));
  EXPECT_THAT(russian, HasSubstr("programmer write a.bin.rescue-4000h.bin --chip AT49F002 "
                                 "--chip-offset 4000 --length 2000 --format raw --port ..."));
  EXPECT_THAT(russian, HasSubstr("не восстановлено (байтов: 80): 4000h-4007h, 4010h-4017h"));
  EXPECT_THAT(russian, HasSubstr("4070h-4077h и ещё диапазонов: 2"));
  EXPECT_THAT(russian, Not(HasSubstr("restored")));
}

TEST(RescueText, QuotesANameTheShellWouldSplit) {
  const WriteRescue rescue{0, std::vector<uint8_t>(0x800), {}};
  const std::string text =
      rescue_text({"my image's.bin.rescue-0h.bin", ""}, rescue, "ATTINY2313 - FLASH", true);
  EXPECT_THAT(text, HasSubstr("programmer write 'my image'\\''s.bin.rescue-0h.bin' --chip "
                              "'ATTINY2313 - FLASH' --chip-offset 0 --length 800"));
}

TEST(BackupFile, IsNewOrRefused) {
  test::TestFolder folder("backup");
  const std::string path = (folder.path() / "old.bin").string();
  EXPECT_FALSE(save_backup(path, {1, 2, 3}, true).has_value());
  const auto again = save_backup(path, {4}, true);
  ASSERT_TRUE(again.has_value());
  EXPECT_THAT(*again, HasSubstr("the file exists"));
  EXPECT_EQ(content(path), std::string("\x01\x02\x03", 3));
}

}  // namespace
}  // namespace fp::cli
