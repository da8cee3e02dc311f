#include "app/main_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/calibration.h"
#include "app/catalogue.h"
#include "platform/utf8.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/test_folder.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

namespace fs = std::filesystem;
using test::ShownBox;

// A row whose handlers record their calls, to follow the window's flows.
struct Calls {
  std::vector<std::string> log;
  uint32_t write_result = 0;
  uint32_t verify_result = 0;
  ReadResult read_result = ReadResult::done;
  const char16_t* prefix_seen = nullptr;
};
Calls* calls = nullptr;  // points at the fixture's record while a test runs

ReadResult recorded_read(ProgrammerContext& context, uint8_t* buffer, uint32_t offset,
                         uint32_t length) {
  calls->log.push_back("read " + std::to_string(offset) + " " + std::to_string(length));
  calls->prefix_seen = context.bus.progress_prefix;
  std::fill(buffer, buffer + length, 0x5A);
  return calls->read_result;
}
uint32_t recorded_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t offset,
                        uint32_t length) {
  calls->log.push_back("write " + std::to_string(offset) + " " + std::to_string(length) + " " +
                       std::to_string(buffer[0]));
  calls->prefix_seen = context.bus.progress_prefix;
  return calls->write_result;
}
uint32_t recorded_verify(ProgrammerContext& context, const uint8_t*, uint32_t offset,
                         uint32_t length) {
  calls->log.push_back("verify " + std::to_string(offset) + " " + std::to_string(length));
  calls->prefix_seen = context.bus.progress_prefix;
  return calls->verify_result;
}

constexpr ChipDescriptor RECORDED_ROW{
    u"recorded",
    0x100,
    ChipSlots{.on_read = recorded_read, .on_write = recorded_write, .on_verify = recorded_verify},
    0,
    {}};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls = &record;
    window.on_init(view.window);
  }
  void TearDown() override { calls = nullptr; }

  void click(int id) { window.on_command(view.window, command_value(id)); }
  void select(int index) {
    view.list_select(ctl::CHIP_LIST, index);
    window.on_command(view.window, command_value(ctl::CHIP_LIST, notify::SELCHANGE));
  }
  void use_recorded_row() {
    rig.context->current_chip = &RECORDED_ROW;
    rig.context->chip_size = RECORDED_ROW.size;
  }
  void extra(const std::u16string& file_offset, const std::u16string& rom_offset,
             const std::u16string& length) {
    view.window.set_checked(ctl::EXTRA_PARAMETERS, true);
    view.window.set_text(ctl::FILE_OFFSET, file_offset);
    view.window.set_text(ctl::ROM_OFFSET, rom_offset);
    view.window.set_text(ctl::BLOCK_LENGTH, length);
  }
  std::string file(const std::string& name, size_t size, uint8_t fill = 0x11) {
    const fs::path path = folder / name;
    std::ofstream out(path, std::ios::binary);
    const std::vector<char> bytes(size, static_cast<char>(fill));
    out.write(bytes.data(), static_cast<long>(size));
    return path.string();
  }
  // A file of 0x100 bytes whose whole path is exactly that many characters
  // long, in folders under the test's folder.
  std::string file_at_path_length(size_t length, uint8_t fill) {
    fs::path where = folder / ("depth" + std::to_string(length));
    while (length - where.string().size() > 200) where /= std::string(150, 'd');
    fs::create_directories(where);
    const size_t name_length = length - where.string().size() - 1;
    const fs::path path = where / std::string(name_length, 'f');
    std::ofstream(path, std::ios::binary) << std::string(0x100, static_cast<char>(fill));
    EXPECT_EQ(path.string().size(), length);
    return path.string();
  }
  std::vector<uint8_t> contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  [[nodiscard]] ShownBox last_box() const {
    return view.window.boxes.empty() ? ShownBox{} : view.window.boxes.back();
  }
  static ShownBox box(const char16_t* text, const char16_t* caption, uint32_t flags) {
    return {text, caption ? std::optional<std::u16string>(caption) : std::nullopt, flags};
  }

  test::SimulatedRig rig;
  test::FakeMainView& view = rig.view;
  MainWindow window{*rig.context};
  Calls record;
  test::TestFolder temp{"main_window_test"};
  const fs::path& folder = temp.path();
};

TEST_F(MainWindowTest, ListsEveryRowOnceTheTwelveFirstAndSelectsTheFirst) {
  const auto& items = view.lists[ctl::CHIP_LIST];
  const std::span<const ChipDescriptor> rows = catalogue_rows();
  ASSERT_EQ(items.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(items[i].first, rows[i].name) << i;
    EXPECT_EQ(items[i].second, reinterpret_cast<intptr_t>(&rows[i])) << i;
  }
  EXPECT_EQ(items[0].first, u"i28F001BX-T");
  EXPECT_EQ(items[WINDOW_ROW_COUNT - 1].first, u"W29EE512");
  EXPECT_EQ(view.list_selection(ctl::CHIP_LIST), 0);
  EXPECT_EQ(rig.context->chip_size, 0x20000u);
  EXPECT_EQ(rig.context->chip_waits, ChipWaits::fixed);
}

TEST_F(MainWindowTest, RowsAfterTheTwelveAskTheChipTheTwelveKeepTheirFixedWaits) {
  const auto& items = view.lists[ctl::CHIP_LIST];
  const auto index_of = [&items](std::u16string_view name) {
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].first == name) return static_cast<int>(i);
    }
    ADD_FAILURE() << "no row";
    return 0;
  };
  select(index_of(u"SST39SF010A"));
  EXPECT_EQ(rig.context->chip_waits, ChipWaits::poll);
  EXPECT_EQ(rig.context->chip_size, 0x20000u);
  select(index_of(u"W29EE512"));
  EXPECT_EQ(rig.context->chip_waits, ChipWaits::fixed);
  select(index_of(u"AT29C020"));
  EXPECT_EQ(rig.context->chip_waits, ChipWaits::poll);
  EXPECT_EQ(rig.context->chip_size, 0x40000u);
  select(index_of(u"AT29C010A"));
  EXPECT_EQ(rig.context->chip_waits, ChipWaits::fixed);
}

TEST(MainWindowWaits, AProgramThatSetsTheWaitsKeepsThemWhateverTheRow) {
  test::SimulatedRig rig;
  rig.context->chip_waits = ChipWaits::poll;
  MainWindow window{*rig.context, RowWaits::as_set};
  window.on_init(rig.view.window);
  EXPECT_EQ(rig.context->chip_waits, ChipWaits::poll);
}

TEST_F(MainWindowTest, SelectionChangesTheChipAndItsSize) {
  select(3);
  EXPECT_EQ(rig.context->current_chip->name, std::u16string_view(u"AT29C040A"));
  EXPECT_EQ(rig.context->chip_size, 0x80000u);
  // Another notification of the list does nothing.
  view.list_select(ctl::CHIP_LIST, 4);
  window.on_command(view.window, command_value(ctl::CHIP_LIST, 3));
  EXPECT_EQ(rig.context->chip_size, 0x80000u);
}

TEST_F(MainWindowTest, ExtraParametersAreCheckedFieldByField) {
  select(4);  // AT49F512, 0x10000 bytes
  extra(u"0", u"0", u"10000");
  EXPECT_TRUE(window.read_extra_parameters());
  EXPECT_EQ(rig.context->block_length, 0x10000u);
  EXPECT_TRUE(view.window.boxes.empty());

  for (const auto& [file_offset, rom_offset, length] :
       std::vector<std::tuple<std::u16string, std::u16string, std::u16string>>{
           {u"0", u"0", u"10001"},
           {u"1000000", u"0", u"1"},
           {u"", u"0", u"1"},
           {u"0", u"0", u"FFFFFF"},
           {u"0", u"a", u"1"},
           {u"0", u"1 ", u"1"},
           {u"0", u"10", u"0"},
           {u"0", u"FFFF", u"2"},
           {u"0", u"0", u"Ф"},
       }) {
    view.window.boxes.clear();
    extra(file_offset, rom_offset, length);
    EXPECT_FALSE(window.read_extra_parameters()) << to_utf8(rom_offset) << " " << to_utf8(length);
    EXPECT_EQ(last_box(), box(text::BAD_EXTRA_PARAMETERS, nullptr, mb::ICON_ERROR));
  }
}

TEST_F(MainWindowTest, ExtraFieldsEndAtTheirFirstZeroByte) {
  use_recorded_row();
  extra(std::u16string(u"8\0zz", 4), std::u16string(u"10\0FFFFFFF", 10), std::u16string(u"4\0", 2));
  EXPECT_TRUE(window.read_extra_parameters());
  EXPECT_EQ(rig.context->file_offset, 8u);
  EXPECT_EQ(rig.context->rom_offset, 0x10u);
  EXPECT_EQ(rig.context->block_length, 4u);

  extra(u"0", u"0", std::u16string{u'\0', u'1', u'0'});
  EXPECT_FALSE(window.read_extra_parameters());
  EXPECT_EQ(last_box(), box(text::BAD_EXTRA_PARAMETERS, nullptr, mb::ICON_ERROR));
}

TEST_F(MainWindowTest, UncheckedExtraParametersMeanTheWholeChip) {
  extra(u"junk", u"junk", u"junk");
  view.window.set_checked(ctl::EXTRA_PARAMETERS, false);
  EXPECT_TRUE(window.read_extra_parameters());
  EXPECT_EQ(rig.context->file_offset, 0u);
  EXPECT_EQ(rig.context->rom_offset, 0u);
  EXPECT_EQ(rig.context->block_length, 0x20000u);
}

TEST_F(MainWindowTest, ExtraParametersCheckBoxShowsAndHidesTheSixFields) {
  view.window.set_checked(ctl::EXTRA_PARAMETERS, true);
  click(ctl::EXTRA_PARAMETERS);
  for (const int id : {1010, 1011, 1012, 1013, 1014, 1016}) {
    EXPECT_TRUE(view.window.controls[id].visible) << id;
  }
  view.window.set_checked(ctl::EXTRA_PARAMETERS, false);
  click(ctl::EXTRA_PARAMETERS);
  EXPECT_FALSE(view.window.controls[1014].visible);
}

TEST_F(MainWindowTest, ReadSavesTheChipIntoTheFileSlice) {
  use_recorded_row();
  const std::string path = file("image.bin", 0x20, 0x11);
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(path));
  extra(u"8", u"10", u"4");
  click(ctl::READ);
  EXPECT_EQ(record.log, (std::vector<std::string>{"read 16 4"}));
  EXPECT_EQ(std::u16string_view(record.prefix_seen), text::READING);
  EXPECT_EQ(rig.context->bus.progress_prefix, nullptr);
  EXPECT_EQ(last_box(), box(text::FILE_SAVED, text::PROGRAMMER, mb::OK));
  auto expected = std::vector<uint8_t>(0x20, 0x11);
  std::fill(expected.begin() + 8, expected.begin() + 12, 0x5A);
  EXPECT_EQ(contents(path), expected);
}

TEST_F(MainWindowTest, RefusedReadLeavesTheFileAlone) {
  use_recorded_row();
  record.read_result = ReadResult::refused;
  const std::string path = file("image.bin", 0x100, 0x11);
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(path));
  click(ctl::READ);
  EXPECT_TRUE(view.window.boxes.empty());
  EXPECT_EQ(contents(path), std::vector<uint8_t>(0x100, 0x11));
}

TEST_F(MainWindowTest, ReadIntoAnUnusablePathReadsTheChipThenFails) {
  use_recorded_row();
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(folder.string()));
  click(ctl::READ);
  EXPECT_EQ(record.log.size(), 1u);
  EXPECT_EQ(last_box(), box(text::FILE_WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR));
}

TEST_F(MainWindowTest, WriteAsksAboutCalibrationOnceYesIsGiven) {
  use_recorded_row();
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(file("image.bin", 0x100)));
  view.window.answers = {answer::NO};
  click(ctl::WRITE);
  EXPECT_EQ(last_box(), box(text::NOT_CALIBRATED, text::PROGRAMMER,
                            mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2));
  EXPECT_TRUE(record.log.empty());
  EXPECT_EQ(rig.context->calibrated, 0u);

  view.window.answers = {answer::YES};
  click(ctl::WRITE);
  EXPECT_EQ(rig.context->calibrated, 1u);
  EXPECT_EQ(record.log, (std::vector<std::string>{"write 0 256 17", "verify 0 256"}));
  EXPECT_EQ(last_box(), box(text::WRITE_DONE, text::PROGRAMMER, mb::OK));

  view.window.boxes.clear();
  click(ctl::WRITE);
  EXPECT_EQ(view.window.boxes.size(), 1u);  // no question the second time
}

TEST_F(MainWindowTest, WriteReportsFileErrorsFailuresAndFailedVerifies) {
  use_recorded_row();
  rig.context->calibrated = 1;
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(file("short.bin", 0x80)));
  click(ctl::WRITE);
  EXPECT_EQ(last_box(), box(text::FILE_READ_ERROR, nullptr, mb::ICON_ERROR));
  EXPECT_TRUE(record.log.empty());

  view.window.set_text(ctl::IMAGE_PATH, from_utf8(file("image.bin", 0x100)));
  record.write_result = 1;
  click(ctl::WRITE);
  EXPECT_EQ(record.log, (std::vector<std::string>{"write 0 256 17"}));
  EXPECT_EQ(last_box(), box(text::WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR));

  record.log.clear();
  record.write_result = 0;
  record.verify_result = 0xFFFFFFFF;
  click(ctl::WRITE);
  EXPECT_EQ(record.log.size(), 2u);
  EXPECT_EQ(std::u16string_view(record.prefix_seen), text::VERIFYING);
  EXPECT_EQ(last_box(), box(text::WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR));

  // A write the chip never finished is verified, and fails even when the
  // verify finds the block right.
  record.log.clear();
  record.write_result = WRITE_CHIP_NOT_READY;
  record.verify_result = 0;
  view.window.boxes.clear();
  click(ctl::WRITE);
  EXPECT_EQ(record.log, (std::vector<std::string>{"write 0 256 17", "verify 0 256"}));
  EXPECT_EQ(view.window.boxes.size(), 1u);
  EXPECT_EQ(last_box(), box(text::WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR));
}

TEST_F(MainWindowTest, EmptySlotsAnswerNotImplemented) {
  select(2);  // AT29C010A has no erase
  click(ctl::ERASE);
  EXPECT_EQ(last_box(), box(text::NOT_IMPLEMENTED, nullptr, mb::ICON_INFORMATION));
  rig.context->current_chip = &RECORDED_ROW;
  view.window.boxes.clear();
  click(ctl::BLANK_CHECK);
  click(ctl::IDENTIFY);
  EXPECT_EQ(view.window.boxes.size(), 2u);
}

TEST_F(MainWindowTest, CompareUsesTheDefaultVerifyOnTheBoard) {
  select(4);  // AT49F512 reads the empty socket: 0xFF everywhere
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(file("blank.bin", 0x10000, 0xFF)));
  click(ctl::COMPARE);
  EXPECT_EQ(last_box(), box(text::DATA_EQUAL, text::PROGRAMMER, mb::OK));
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(file("zero.bin", 0x10000, 0x00)));
  click(ctl::COMPARE);
  EXPECT_EQ(last_box(), box(text::COMPARE_ERROR, text::PROGRAMMER, mb::ICON_ERROR));
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(file("short.bin", 0x8000, 0xFF)));
  click(ctl::COMPARE);
  EXPECT_EQ(last_box(), box(text::FILE_READ_ERROR, nullptr, mb::ICON_ERROR));
}

TEST_F(MainWindowTest, LongPathsAreUsedWhole) {
  use_recorded_row();
  fs::path deep = folder;
  while (deep.string().size() < 300) deep /= std::string(60, 'd');
  fs::create_directories(deep);
  const std::string path = (deep / "image.bin").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << std::string(0x100, 'x');
  }
  ASSERT_GT(path.size(), 259u);
  view.window.set_text(ctl::IMAGE_PATH, from_utf8(path));
  click(ctl::COMPARE);
  EXPECT_EQ(last_box(), box(text::DATA_EQUAL, text::PROGRAMMER, mb::OK));

  view.window.set_text(ctl::IMAGE_PATH, std::u16string(1024, u'x'));
  click(ctl::COMPARE);
  EXPECT_EQ(last_box(), box(text::FILE_READ_ERROR, nullptr, mb::ICON_ERROR));
}

TEST_F(MainWindowTest, APathOf1024CharactersIsRefusedEvenForAnExistingFile) {
  use_recorded_row();
  const std::string longest = file_at_path_length(1023, 0x11);
  const std::string too_long = file_at_path_length(1024, 0x11);

  view.window.set_text(ctl::IMAGE_PATH, from_utf8(too_long));
  click(ctl::READ);
  EXPECT_EQ(last_box(), box(text::FILE_WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR));
  EXPECT_EQ(contents(too_long), std::vector<uint8_t>(0x100, 0x11));
  click(ctl::COMPARE);
  EXPECT_EQ(last_box(), box(text::FILE_READ_ERROR, nullptr, mb::ICON_ERROR));

  view.window.set_text(ctl::IMAGE_PATH, from_utf8(longest));
  click(ctl::READ);
  EXPECT_EQ(last_box(), box(text::FILE_SAVED, text::PROGRAMMER, mb::OK));
  EXPECT_EQ(contents(longest), std::vector<uint8_t>(0x100, 0x5A));
  click(ctl::COMPARE);
  EXPECT_EQ(last_box(), box(text::DATA_EQUAL, text::PROGRAMMER, mb::OK));
}

TEST_F(MainWindowTest, FileDialogStartsFromAPathThatFitsItsBuffer) {
  for (const size_t length : {1023u, 1024u, 1500u}) {
    view.window.set_text(ctl::IMAGE_PATH, std::u16string(length, u'p'));
    click(ctl::FILE_BUTTON);
    EXPECT_EQ(view.file_dialog_requests.back().initial_path, std::u16string(1023, u'p')) << length;
  }
}

TEST_F(MainWindowTest, FileCommandPutsThePathAndItsSizeIntoTheFields) {
  view.window.set_text(ctl::IMAGE_PATH, u"old.bin");
  view.file_dialog_results = {std::nullopt};
  click(ctl::FILE_BUTTON);
  EXPECT_EQ(view.window.text(ctl::IMAGE_PATH), u"old.bin");
  ASSERT_EQ(view.file_dialog_requests.size(), 1u);
  EXPECT_EQ(view.file_dialog_requests[0].initial_path, u"old.bin");
  EXPECT_EQ(view.file_dialog_requests[0].capacity, 1024u);

  const std::u16string chosen = from_utf8(file("chip.bin", 0x20000));
  view.file_dialog_results = {chosen};
  click(ctl::FILE_BUTTON);
  EXPECT_EQ(view.window.text(ctl::IMAGE_PATH), chosen);
  EXPECT_EQ(view.window.text(ctl::BLOCK_LENGTH), u"20000");

  view.file_dialog_results = {from_utf8((folder / "new.bin").string())};
  click(ctl::FILE_BUTTON);
  EXPECT_EQ(view.window.text(ctl::BLOCK_LENGTH), u"20000");  // not found: the field keeps its text
}

TEST_F(MainWindowTest, EscapeAndCloseEndTheWindow) {
  click(ctl::EXIT_BUTTON);
  EXPECT_EQ(view.window.ended, 0);
  view.window.ended.reset();
  window.on_close(view.window);
  EXPECT_EQ(view.window.ended, 0);
  view.window.ended.reset();
  window.on_command(view.window, command_value(ctl::READ, 5));  // not a click
  EXPECT_TRUE(view.window.boxes.empty());
}

TEST_F(MainWindowTest, CalibrationShowsTheCountAndHoldsTheVoltageWhileAsked) {
  rig.board.set_timer_period(1234);
  view.window.answers = {answer::YES};
  std::vector<bool> voltage;
  view.window.while_shown = [&](const ShownBox&) { voltage.push_back(rig.board.vpp_on()); };
  click(ctl::CALIBRATE);
  ASSERT_EQ(view.window.boxes.size(), 3u);
  EXPECT_EQ(view.window.boxes[1], box(u"1234", text::TIMER_LOOPS, mb::OK));
  EXPECT_EQ(view.window.boxes[2], box(text::VPP_ON, text::PROGRAMMER, mb::OK | mb::ICON_WARNING));
  EXPECT_EQ(voltage, (std::vector<bool>{false, false, true}));
  EXPECT_FALSE(rig.board.vpp_on());
  EXPECT_EQ(rig.context->calibrated, 1u);
}

TEST_F(MainWindowTest, CalibrationCountsZeroWhenTheTimerBitIsAlreadyClear) {
  rig.board.set_timer_period(0);
  view.window.answers = {answer::YES};
  click(ctl::CALIBRATE);
  EXPECT_EQ(view.window.boxes[1].text, u"0");
}

TEST_F(MainWindowTest, StuckTimerIsReportedWithoutCalibrating) {
  rig.board.set_timer_period(std::nullopt);
  view.window.answers = {answer::YES};
  const uint8_t control_before = rig.board.lines().control;
  const uint64_t accesses_before = rig.board.port_accesses();
  click(ctl::CALIBRATE);
  EXPECT_EQ(last_box(), box(text::TIMER_ERROR, text::PROGRAMMER, mb::ICON_ERROR));
  EXPECT_EQ(rig.board.port_accesses() - accesses_before, 2u + 100001u);
  EXPECT_EQ(rig.board.lines().control, control_before);
  EXPECT_EQ(rig.context->calibrated, 0u);

  view.window.boxes.clear();
  click(ctl::CALIBRATE);  // default answer: No
  EXPECT_EQ(view.window.boxes.size(), 1u);
}

TEST_F(MainWindowTest, CalibrationFailsAtTheLimitCountAndPassesJustBelowIt) {
  rig.board.set_timer_period(99999);
  view.window.answers = {answer::YES};
  click(ctl::CALIBRATE);
  EXPECT_EQ(last_box(), box(text::TIMER_ERROR, text::PROGRAMMER, mb::ICON_ERROR));
  EXPECT_EQ(rig.board.vpp_switch_ons(), 0u);
  EXPECT_EQ(rig.context->calibrated, 0u);

  rig.board.set_timer_period(99998);
  view.window.answers = {answer::YES};
  click(ctl::CALIBRATE);
  EXPECT_EQ(view.window.boxes.end()[-2], box(u"99998", text::TIMER_LOOPS, mb::OK));
  EXPECT_EQ(rig.context->calibrated, 1u);
}

TEST_F(MainWindowTest, TimerMeasurementCountsUpTo99999BeforeFailing) {
  rig.board.set_timer_period(99998);
  EXPECT_EQ(measure_timer_loops(*rig.context), 99998u);
  rig.board.set_timer_period(99999);
  EXPECT_EQ(measure_timer_loops(*rig.context), 99999u);
  rig.board.set_timer_period(200000);
  EXPECT_EQ(measure_timer_loops(*rig.context), 100000u);
}

}  // namespace
}  // namespace fp
