// The exact latch loads, reads and sleeps of each handler, on a port that
// decodes the board protocol and refuses any other traffic.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "chips/at89c/at89c_handlers.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/recording_port.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

using Events = std::vector<std::string>;

// Turns port traffic into "ctrl C0", "lo 13", "data 5A", "read" and
// "sleep 3" events; a port access outside latch_write and read_nibbles shows
// up as "stray ..." and fails the comparison.
class LatchLog final : public PortIo, public Clock {
 public:
  void out(uint16_t port, uint8_t value) override { pending_.push_back({port, value, false}); }
  uint8_t in(uint16_t port) override {
    pending_.push_back({port, 0, true});
    uint8_t status = 0xF7;
    if (!nibbles_.empty()) {
      status = static_cast<uint8_t>(nibbles_.front() << 4 | 0x07);
      nibbles_.pop_front();
    }
    return status;
  }
  void sleep_ms(uint32_t milliseconds) override {
    flush();
    events_.push_back("sleep " + std::to_string(milliseconds));
  }

  // The bytes the next reads find on the data bus.
  void queue_bytes(std::initializer_list<uint8_t> bytes) {
    for (const uint8_t byte : bytes) {
      nibbles_.push_back(byte & 0x0F);
      nibbles_.push_back(byte >> 4);
    }
  }

  Events events() {
    flush();
    return events_;
  }

 private:
  struct Access {
    uint16_t port;
    uint8_t value;
    bool read;
    bool operator==(const Access&) const = default;
  };

  void flush() {
    size_t i = 0;
    while (i < pending_.size()) {
      const size_t left = pending_.size() - i;
      const auto at = [&](size_t k) { return pending_[i + k]; };
      if (left >= 4 && at(0).port == DATA_PORT && !at(0).read && is_latch_strobe(i + 1)) {
        events_.push_back(latch_name(at(1).value) + " " + hex(at(0).value));
        i += 4;
      } else if (left >= 4 && at(0) == Access{CONTROL_PORT, 0, false} &&
                 at(1) == Access{STATUS_PORT, 0, true} && at(2) == Access{CONTROL_PORT, 2, false} &&
                 at(3) == Access{STATUS_PORT, 0, true}) {
        events_.push_back("read");
        i += 4;
      } else {
        events_.push_back("stray " + hex(at(0).port) + " " + hex(at(0).value));
        ++i;
      }
    }
    pending_.clear();
  }

  bool is_latch_strobe(size_t k) const {
    const Access& a = pending_[k];
    return a.port == CONTROL_PORT && !a.read && (a.value & 1) == 0 &&
           pending_[k + 1] == Access{CONTROL_PORT, static_cast<uint8_t>(a.value | 1), false} &&
           pending_[k + 2] == a;
  }

  static std::string latch_name(uint8_t select) {
    switch (select) {
      case LATCH_DATA:
        return "data";
      case LATCH_CTRL:
        return "ctrl";
      case LATCH_ADDR_LO:
        return "lo";
      default:
        return "mid";
    }
  }

  static std::string hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
  }

  std::vector<Access> pending_;
  std::deque<uint8_t> nibbles_;
  Events events_;
};

struct SequenceRig {
  explicit SequenceRig(std::u16string_view row) {
    context.current_chip = &catalogue_row(row);
    context.chip_size = context.current_chip->size;
  }

  LatchLog log;
  RecordingServices priority;
  FakeMainView view;
  ProgrammerContext context{log, log, priority, view, catalogue_row(u"AT89C2051/2052")};
};

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
  SequenceRig rig(u"AT89C2051/2052");
  rig.log.queue_bytes({0x5A, 0x00});
  uint8_t buffer[2] = {};
  EXPECT_EQ(at89c_read(rig.context, buffer, 0x10, 2), ReadResult::done);

  EXPECT_EQ(rig.log.events(), joined({{"lo 13"},
                                      COUNTER_RESET,
                                      repeat(READ_CLOCK, 16),
                                      {"read"},
                                      READ_CLOCK,
                                      {"read"},
                                      READ_CLOCK}));
  EXPECT_EQ(buffer[0], 0x5A);
  EXPECT_EQ(buffer[1], 0x00);
  EXPECT_TRUE(rig.view.status_texts.empty());
  EXPECT_FALSE(rig.context.bus.bus_address.vpp_flag());
}

TEST(At89cSequence, WriteFramesEachByteBetweenOneVoltageOnAndOneOff) {
  SequenceRig rig(u"AT89C4051/4052");
  const uint8_t image[2] = {0xA5, 0x3C};
  EXPECT_EQ(at89c_write(rig.context, image, 0, 2), 0u);

  const auto byte = [](const char* data) {
    return Events{data, "lo 07", "lo 17", "sleep 3", "lo 37", "lo 17"};
  };
  EXPECT_EQ(rig.log.events(), joined({{"lo 13"},
                                      COUNTER_RESET,
                                      {"lo 17", "ctrl 58"},
                                      byte("data A5"),
                                      byte("data 3C"),
                                      {"ctrl D0"}}));
  EXPECT_EQ(rig.view.status_texts, std::vector<std::u16string>{text::WRITING});
}

TEST(At89cSequence, WriteAtAnOffsetMovesTheCounterInReadModeFirst) {
  SequenceRig rig(u"AT89C4051/4052");
  const uint8_t image[1] = {0x00};
  at89c_write(rig.context, image, 3, 1);

  const Events events = rig.log.events();
  const Events expected_start =
      joined({{"lo 13"}, COUNTER_RESET, repeat(READ_CLOCK, 3), {"lo 17", "ctrl 58", "data 00"}});
  ASSERT_GE(events.size(), expected_start.size());
  EXPECT_EQ(Events(events.begin(), events.begin() + static_cast<long>(expected_start.size())),
            expected_start);
}

TEST(At89cSequence, VerifyStopsAtTheFirstDifferenceWithoutClocking) {
  SequenceRig rig(u"AT89C2051/2052");
  rig.log.queue_bytes({0x11});
  const uint8_t image[3] = {0x12, 0x00, 0x00};
  EXPECT_NE(at89c_verify(rig.context, image, 5, 3), 0u);

  EXPECT_EQ(rig.log.events(), joined({{"lo 13"}, COUNTER_RESET, repeat(READ_CLOCK, 5), {"read"}}));
  EXPECT_EQ(rig.view.status_texts, std::vector<std::u16string>{text::VERIFYING});
}

TEST(At89cSequence, VerifyOfAnEqualRangeClocksPastEveryByte) {
  SequenceRig rig(u"AT89C2051/2052");
  rig.log.queue_bytes({0x12, 0x34});
  const uint8_t image[2] = {0x12, 0x34};
  EXPECT_EQ(at89c_verify(rig.context, image, 0, 2), 0u);
  EXPECT_EQ(rig.log.events(),
            joined({{"lo 13"}, COUNTER_RESET, {"read"}, READ_CLOCK, {"read"}, READ_CLOCK}));
}

TEST(At89cSequence, BlankCheckReadsTheWholeChipWhateverTheSlice) {
  for (const auto& [row, size] :
       {std::pair{u"AT89C2051/2052", 0x800}, {u"AT89C4051/4052", 0x1000}}) {
    SCOPED_TRACE(std::string(row, row + 14));
    SequenceRig rig(row);
    rig.context.rom_offset = 0x10;
    rig.context.block_length = 0x20;
    at89c_blank_check(rig.context);  // an unqueued read finds 0xFF

    EXPECT_EQ(rig.log.events(),
              joined({{"lo 13"}, COUNTER_RESET, repeat(Events{"read", "lo 33", "lo 13"}, size)}));
    EXPECT_EQ(rig.view.window.boxes,
              (std::vector<ShownBox>{{text::BLANK, std::u16string(text::PROGRAMMER), mb::OK}}));
    EXPECT_EQ(rig.view.status_texts,
              (std::vector<std::u16string>{text::VERIFYING, text::CHECK_DONE}));
  }
}

TEST(At89cSequence, BlankCheckStopsAtTheFirstProgrammedByte) {
  SequenceRig rig(u"AT89C2051/2052");
  rig.log.queue_bytes({0xFF, 0xFF, 0xFE});
  at89c_blank_check(rig.context);

  EXPECT_EQ(
      rig.log.events(),
      joined({{"lo 13"}, COUNTER_RESET, {"read"}, READ_CLOCK, {"read"}, READ_CLOCK, {"read"}}));
  EXPECT_EQ(rig.view.window.boxes,
            (std::vector<ShownBox>{
                {text::NOT_BLANK, std::u16string(text::PROGRAMMER), mb::ICON_INFORMATION}}));
  EXPECT_EQ(rig.view.status(), text::CHECK_DONE);
}

TEST(At89cSequence, EraseRaisesTheVoltageThenPulsesTenMilliseconds) {
  SequenceRig rig(u"AT89C4051/4052");
  at89c_erase(rig.context);

  EXPECT_EQ(rig.log.events(),
            joined({COUNTER_RESET, {"ctrl C8", "lo 18", "lo 08", "sleep 10", "lo 18", "ctrl C0"}}));
  EXPECT_EQ(rig.view.status_texts, (std::vector<std::u16string>{text::ERASING, text::ERASE_DONE}));
  EXPECT_TRUE(rig.view.window.boxes.empty());
}

TEST(At89cSequence, IdentifyShowsTheThreeSignatureBytesOneALine) {
  SequenceRig rig(u"AT89C2051/2052");
  rig.log.queue_bytes({0x05, 0xA0, 0xFF});
  at89c_identify(rig.context);

  const Events signature_clock{"lo 30", "lo 10"};
  EXPECT_EQ(rig.log.events(), joined({COUNTER_RESET,
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
