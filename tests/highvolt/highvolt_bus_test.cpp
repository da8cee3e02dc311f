// Exact port traffic of the family's bus cycles and command sequences.
#include "chips/highvolt/highvolt_bus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "chips/highvolt/highvolt_handlers.h"
#include "tests/highvolt/highvolt_rigs.h"

namespace fp::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST(HvCycles, CommandWriteCarriesA16AndTheVoltageBit) {
  RecordingRig rig;
  ProgrammerBus& bus = rig.context->bus;

  bus.bus_address.set(0x10000);
  hv_command_write(bus, 0x40);
  EXPECT_THAT(rig.recorder.load_lines(), ElementsAre("data 40", "ctrl 51", "ctrl 71", "ctrl C1"));

  rig.recorder.clear();
  bus.bus_address.set(0x00000);
  bus.bus_address.set_vpp_flag(true);
  hv_command_write(bus, 0x70);
  EXPECT_THAT(rig.recorder.load_lines(), ElementsAre("data 70", "ctrl 58", "ctrl 78", "ctrl C8"));
}

TEST(HvCycles, ReadCycleKeepsTheVoltageOnAndReadsBothNibbles) {
  RecordingRig rig;
  ProgrammerBus& bus = rig.context->bus;
  bus.bus_address.set(0x10000);
  bus.bus_address.set_vpp_flag(true);
  rig.recorder.status_queue = {0xA7, 0x5F};  // low nibble A, high nibble 5; low bits ignored

  EXPECT_EQ(hv_read_cycle(bus), 0x5A);
  EXPECT_THAT(rig.recorder.load_lines(), ElementsAre("ctrl 99", "ctrl C9"));
}

TEST(HvIdentify, I28fReadIdLoadsOnlyTheLowAddressLatch) {
  RecordingRig rig;
  rig.context->bus.bus_address.set(0x10000);
  rig.recorder.status_queue = {0x90, 0x80, 0x40, 0x90};  // 89, then 94

  const ChipCodes codes = i28f_read_id(rig.context->bus);

  EXPECT_EQ(codes.manufacturer, 0x89);
  EXPECT_EQ(codes.device, 0x94);
  EXPECT_THAT(
      rig.recorder.load_lines(),
      ElementsAre("lo 00", "data 90", "ctrl 51", "ctrl 71", "ctrl C1", "ctrl 91", "ctrl C1",
                  "lo 01", "ctrl 91", "ctrl C1", "data FF", "ctrl 51", "ctrl 71", "ctrl C1"));
}

TEST(HvIdentify, Am28fReadIdResetsTheChipBeforeTheVoltageGoesOff) {
  RecordingRig rig;
  rig.recorder.status_queue = {0x10, 0x00, 0x70, 0xA0};  // 01, then A7

  const ChipCodes codes = am28f_read_id(rig.context->bus);

  EXPECT_EQ(codes.manufacturer, 0x01);
  EXPECT_EQ(codes.device, 0xA7);
  EXPECT_THAT(rig.recorder.load_lines(),
              ElementsAre("data FF", "ctrl 58", "ctrl 78", "ctrl C8", "lo 00", "data 90", "ctrl 58",
                          "ctrl 78", "ctrl C8", "ctrl 98", "ctrl C8", "lo 01", "ctrl 98", "ctrl C8",
                          "data FF", "ctrl 58", "ctrl 78", "ctrl C8", "ctrl C0"));
  EXPECT_FALSE(rig.context->bus.bus_address.vpp_flag());
}

TEST(HvIdentify, CodesShowOnePerLineWithoutLeadingZeros) {
  RecordingRig rig;
  rig.recorder.status_queue = {0xA0, 0x00, 0xF0, 0xF0};  // 0A, then FF
  i28f_identify(*rig.context);
  rig.recorder.status_queue = {0x00, 0x00, 0x70, 0xA0};  // 00, then A7
  am28f_identify(*rig.context);

  EXPECT_THAT(rig.view.window.boxes, ElementsAre(ShownBox{u"A\r\nFF", u"Тип микросхемы", mb::OK},
                                                 ShownBox{u"0\r\nA7", u"Тип микросхемы", mb::OK}));
}

TEST(I28fBlockErase, PollsOncePerSecondAndEndsWithTheVoltageOff) {
  RecordingRig rig;
  rig.recorder.status = 0x00;                            // busy
  rig.recorder.status_queue = {0x00, 0x00, 0x00, 0x80};  // busy, then ready without errors

  EXPECT_EQ(i28f_block_erase(*rig.context, 0x1C000), 0u);

  EXPECT_THAT(rig.recorder.waits(), ElementsAre(1000u, 1000u));
  EXPECT_THAT(
      rig.recorder.load_lines(),
      ElementsAre("data 50", "ctrl 58", "ctrl 78", "ctrl C8",  // clear status
                  "lo 00", "mid C0",                           // block address
                  "data 20", "ctrl 59", "ctrl 79", "ctrl C9",  // erase setup
                  "data D0", "ctrl 59", "ctrl 79", "ctrl C9",  // confirm
                  "data 70", "ctrl 59", "ctrl 79", "ctrl C9", "ctrl 99", "ctrl C9",  // busy
                  "data 70", "ctrl 59", "ctrl 79", "ctrl C9", "ctrl 99", "ctrl C9",  // ready
                  "ctrl C1",                                                         // voltage off
                  "data FF", "ctrl 51", "ctrl 71", "ctrl C1"));
}

TEST(I28fBlockErase, ReportsTheErrorBitsOrAllOfThemWhenNeverReady) {
  RecordingRig errors;
  errors.recorder.status_queue = {0x80, 0xA0};  // A8: ready, erase error and voltage low
  EXPECT_EQ(i28f_block_erase(*errors.context, 0), 0x28u);

  RecordingRig busy;
  busy.recorder.status = 0x00;
  EXPECT_EQ(i28f_block_erase(*busy.context, 0), 0x38u);
  EXPECT_EQ(busy.recorder.waits().size(), 10u);
  EXPECT_EQ(busy.recorder.slept_ms(), 10'000u);
  EXPECT_EQ(busy.recorder.latch_values(LATCH_CTRL).back() & CTRL_VPP, 0);
}

TEST(I28fWrite, ResultHoldsTheProgramErrorsOfAnyByte) {
  const uint8_t bytes[] = {0x11, 0x22, 0x33};
  RecordingRig one;
  one.recorder.status_queue = {0x80, 0x90};  // ready, program error and voltage low
  EXPECT_EQ(i28f_write(*one.context, bytes, 0, 1), 0x18u);

  // A failed byte in the middle is not hidden by the good bytes after it.
  RecordingRig middle;
  middle.recorder.status_queue = {0x00, 0x80, 0x00, 0x90, 0x00, 0x80};
  EXPECT_EQ(i28f_write(*middle.context, bytes, 0, 3), 0x10u);
  // ...and the write still went through every byte.
  EXPECT_THAT(middle.recorder.latch_values(LATCH_ADDR_LO), ElementsAre(0x00, 0x01, 0x02, 0x03));
}

TEST(I28fWrite, ErrorBitsOfSeveralFailedBytesAddUp) {
  // Voltage low on the first byte, a program error on the third, the last one good.
  RecordingRig rig;
  rig.recorder.status_queue = {0x80, 0x80, 0x00, 0x80, 0x00, 0x90, 0x00, 0x80};
  const uint8_t bytes[] = {0x11, 0x22, 0x33, 0x44};
  EXPECT_EQ(i28f_write(*rig.context, bytes, 0, 4), 0x18u);
}

TEST(I28fWrite, GivesUpAfterTenThousandStatusReadsOfOneByte) {
  RecordingRig rig;
  rig.recorder.status = 0x00;  // never ready
  const uint8_t bytes[] = {0x00, 0x01};

  EXPECT_EQ(i28f_write(*rig.context, bytes, 0, 2), 0x18u);

  const auto data = rig.recorder.latch_values(LATCH_DATA);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0x70), 10'000);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0x40), 1);  // the busy chip gets no second byte
  EXPECT_EQ(data.back(), 0xFF);
  EXPECT_EQ(rig.recorder.latch_values(LATCH_CTRL).back(), 0xC0);
}

TEST(I28fWrite, ReadyOnTheLastAllowedStatusReadIsInTime) {
  RecordingRig rig;
  rig.recorder.status = 0x00;
  rig.recorder.status_queue.assign(2 * 9'999, 0x00);
  rig.recorder.status_queue.insert(rig.recorder.status_queue.end(), {0x00, 0x80});
  const uint8_t byte = 0x00;
  EXPECT_EQ(i28f_write(*rig.context, &byte, 0, 1), 0u);
}

TEST(Am28fProgramByte, PulsesUntilTheReadMatchesUpToTwentyFiveTimes) {
  // Each pulse makes six delay reads, then the verify read: wrong 24 times,
  // right on the 25th pulse.
  RecordingRig late;
  auto& queue = late.recorder.status_queue;
  for (int pulse = 0; pulse < 25; ++pulse) {
    queue.insert(queue.end(), 6, 0xFF);
    queue.push_back(pulse < 24 ? uint8_t{0xF0} : uint8_t{0x50});
    queue.push_back(0xA0);
  }
  late.context->bus.bus_address.set_vpp_flag(true);
  EXPECT_EQ(am28f_program_byte(late.context->bus, 0xA5), 0u);
  auto data = late.recorder.latch_values(LATCH_DATA);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0x40), 25);

  RecordingRig never;  // reads FF forever
  never.context->bus.bus_address.set_vpp_flag(true);
  EXPECT_EQ(am28f_program_byte(never.context->bus, 0xA5), 1u);
  data = never.recorder.latch_values(LATCH_DATA);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0x40), 25);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0xC0), 25);
}

}  // namespace
}  // namespace fp::test
