// The exact latch loads, reads and sleeps of each handler, read back as the
// board protocol: any other traffic shows up as a stray access and fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chips/at89c/at89c_handlers.h"
#include "tests/support/programmer_rigs.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

using Events = std::vector<std::string>;

Events repeat(const Events& events, size_t times) {
  Events all;
  for (size_t i = 0; i < times; ++i) all.insert(all.end(), events.begin(), events.end());
  return all;
}

Events joined(std::initializer_list<Events> parts) {
  Events all;
  for (const Events& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Events COUNTER_RESET{"ctrl 80", "ctrl C0"};
const Events READ_CLOCK{"lo 33", "lo 13"};

TEST(At89cSequence, ReadSkipsToTheOffsetWithReadModeClockPulses) {
  RecordingRig rig(u"AT89C2051/2052");
  rig.recorder.queue_bytes({0x5A, 0x00});
  uint8_t buffer[2] = {};
  EXPECT_EQ(at89c_read(*rig.context, buffer, 0x10, 2), ReadResult::done);

  EXPECT_EQ(rig.recorder.latch_events(), joined({{"lo 13"},
                                                 COUNTER_RESET,
                                                 repeat(READ_CLOCK, 16),
                                                 {"read"},
                                                 READ_CLOCK,
                                                 {"read"},
                                                 READ_CLOCK}));
  EXPECT_EQ(buffer[0], 0x5A);
  EXPECT_EQ(buffer[1], 0x00);
  EXPECT_TRUE(rig.view.status_texts.empty());
  EXPECT_FALSE(rig.context->bus.bus_address.vpp_flag());
}

TEST(At89cSequence, WriteFramesEachByteBetweenOneVoltageOnAndOneOff) {
  RecordingRig rig(u"AT89C4051/4052");
  const uint8_t image[2] = {0xA5, 0x3C};
  EXPECT_EQ(at89c_write(*rig.context, image, 0, 2), 0u);

  const auto byte = [](const char* data) {
    return Events{data, "lo 07", "lo 17", "sleep 3", "lo 37", "lo 17"};
  };
  EXPECT_EQ(rig.recorder.latch_events(), joined({{"lo 13"},
                                                 COUNTER_RESET,
                                                 {"lo 17", "ctrl 58"},
                                                 byte("data A5"),
                                                 byte("data 3C"),
                                                 {"ctrl D0"}}));
  EXPECT_EQ(rig.view.status_texts, std::vector<std::u16string>{text::WRITING});
}

TEST(At89cSequence, WriteAtAnOffsetMovesTheCounterInReadModeFirst) {
  RecordingRig rig(u"AT89C4051/4052");
  const uint8_t image[1] = {0x00};
  at89c_write(*rig.context, image, 3, 1);

  const Events events = rig.recorder.latch_events();
  const Events expected_start =
      joined({{"lo 13"}, COUNTER_RESET, repeat(READ_CLOCK, 3), {"lo 17", "ctrl 58", "data 00"}});
  ASSERT_GE(events.size(), expected_start.size());
  EXPECT_EQ(Events(events.begin(), events.begin() + static_cast<long>(expected_start.size())),
            expected_start);
}

TEST(At89cSequence, VerifyStopsAtTheFirstDifferenceWithoutClocking) {
  RecordingRig rig(u"AT89C2051/2052");
  rig.recorder.queue_bytes({0x11});
  const uint8_t image[3] = {0x12, 0x00, 0x00};
  EXPECT_NE(at89c_verify(*rig.context, image, 5, 3), 0u);

  EXPECT_EQ(rig.recorder.latch_events(),
            joined({{"lo 13"}, COUNTER_RESET, repeat(READ_CLOCK, 5), {"read"}}));
  EXPECT_EQ(rig.view.status_texts, std::vector<std::u16string>{text::VERIFYING});
}

TEST(At89cSequence, VerifyOfAnEqualRangeClocksPastEveryByte) {
  RecordingRig rig(u"AT89C2051/2052");
  rig.recorder.queue_bytes({0x12, 0x34});
  const uint8_t image[2] = {0x12, 0x34};
  EXPECT_EQ(at89c_verify(*rig.context, image, 0, 2), 0u);
  EXPECT_EQ(rig.recorder.latch_events(),
            joined({{"lo 13"}, COUNTER_RESET, {"read"}, READ_CLOCK, {"read"}, READ_CLOCK}));
}

TEST(At89cSequence, BlankCheckReadsTheWholeChipWhateverTheSlice) {
  for (const auto& [row, size] :
       {std::pair{u"AT89C2051/2052", 0x800}, {u"AT89C4051/4052", 0x1000}}) {
    SCOPED_TRACE(std::string(row, row + 14));
    RecordingRig rig(row);
    rig.context->rom_offset = 0x10;
    rig.context->block_length = 0x20;
    at89c_blank_check(*rig.context);  // an unqueued read finds 0xFF

    EXPECT_EQ(rig.recorder.latch_events(),
              joined({{"lo 13"}, COUNTER_RESET, repeat(Events{"read", "lo 33", "lo 13"}, size)}));
    EXPECT_EQ(rig.view.window.boxes,
              (std::vector<ShownBox>{{text::BLANK, std::u16string(text::PROGRAMMER), mb::OK}}));
    EXPECT_EQ(rig.view.status_texts,
              (std::vector<std::u16string>{text::VERIFYING, text::CHECK_DONE}));
  }
}

TEST(At89cSequence, BlankCheckStopsAtTheFirstProgrammedByte) {
  RecordingRig rig(u"AT89C2051/2052");
  rig.recorder.queue_bytes({0xFF, 0xFF, 0xFE});
  at89c_blank_check(*rig.context);

  EXPECT_EQ(
      rig.recorder.latch_events(),
      joined({{"lo 13"}, COUNTER_RESET, {"read"}, READ_CLOCK, {"read"}, READ_CLOCK, {"read"}}));
  EXPECT_EQ(rig.view.window.boxes,
            (std::vector<ShownBox>{
                {text::NOT_BLANK, std::u16string(text::PROGRAMMER), mb::ICON_INFORMATION}}));
  EXPECT_EQ(rig.view.status(), text::CHECK_DONE);
}

TEST(At89cSequence, EraseRaisesTheVoltageThenPulsesTenMilliseconds) {
  RecordingRig rig(u"AT89C4051/4052");
  at89c_erase(*rig.context);

  EXPECT_EQ(rig.recorder.latch_events(),
            joined({COUNTER_RESET, {"ctrl C8", "lo 18", "lo 08", "sleep 10", "lo 18", "ctrl C0"}}));
  EXPECT_EQ(rig.view.status_texts, (std::vector<std::u16string>{text::ERASING, text::ERASE_DONE}));
  EXPECT_TRUE(rig.view.window.boxes.empty());
}

TEST(At89cSequence, IdentifyShowsTheThreeSignatureBytesOneALine) {
  RecordingRig rig(u"AT89C2051/2052");
  rig.recorder.queue_bytes({0x05, 0xA0, 0xFF});
  at89c_identify(*rig.context);

  const Events signature_clock{"lo 30", "lo 10"};
  EXPECT_EQ(rig.recorder.latch_events(), joined({COUNTER_RESET,
                                                 {"lo 10", "read"},
                                                 signature_clock,
                                                 {"read"},
                                                 signature_clock,
                                                 {"read"}}));
  EXPECT_EQ(rig.view.window.boxes,
            (std::vector<ShownBox>{{u"5\r\nA0\r\nFF", std::u16string(text::CHIP_TYPE), mb::OK}}));
  EXPECT_TRUE(rig.view.status_texts.empty());
}

}  // namespace
}  // namespace fp::test
