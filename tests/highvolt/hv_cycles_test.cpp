// Exact port traffic of the family's bus cycles and command sequences.
#include "chips/highvolt/hv_cycles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "chips/highvolt/am28f.h"
#include "chips/highvolt/i28f.h"
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
  EXPECT_THAT(latch_loads(rig.port), ElementsAre("0:40", "2:51", "2:71", "2:C1"));

  rig.port.events.clear();
  bus.bus_address.set(0x00000);
  bus.bus_address.set_vpp_flag(true);
  hv_command_write(bus, 0x70);
  EXPECT_THAT(latch_loads(rig.port), ElementsAre("0:70", "2:58", "2:78", "2:C8"));
}

TEST(HvCycles, ReadCycleKeepsTheVoltageOnAndReadsBothNibbles) {
  RecordingRig rig;
  ProgrammerBus& bus = rig.context->bus;
  bus.bus_address.set(0x10000);
  bus.bus_address.set_vpp_flag(true);
  rig.port.status_queue = {0xA7, 0x5F};  // low nibble A, high nibble 5; low bits ignored

  EXPECT_EQ(hv_read_cycle(bus), 0x5A);
  EXPECT_THAT(latch_loads(rig.port), ElementsAre("2:99", "2:C9"));
}

TEST(HvIdentify, I28fReadIdLoadsOnlyTheLowAddressLatch) {
  RecordingRig rig;
  rig.context->bus.bus_address.set(0x10000);
  rig.port.status_queue = {0x90, 0x80, 0x40, 0x90};  // 89, then 94

  const ChipCodes codes = i28f_read_id(rig.context->bus);

  EXPECT_EQ(codes.manufacturer, 0x89);
  EXPECT_EQ(codes.device, 0x94);
  EXPECT_THAT(latch_loads(rig.port),
              ElementsAre("4:00", "0:90", "2:51", "2:71", "2:C1", "2:91", "2:C1", "4:01", "2:91",
                          "2:C1", "0:FF", "2:51", "2:71", "2:C1"));
}

TEST(HvIdentify, Am28fReadIdResetsTheChipBeforeTheVoltageGoesOff) {
  RecordingRig rig;
  rig.port.status_queue = {0x10, 0x00, 0x70, 0xA0};  // 01, then A7

  const ChipCodes codes = am28f_read_id(rig.context->bus);

  EXPECT_EQ(codes.manufacturer, 0x01);
  EXPECT_EQ(codes.device, 0xA7);
  EXPECT_THAT(
      latch_loads(rig.port),
      ElementsAre("0:FF", "2:58", "2:78", "2:C8", "4:00", "0:90", "2:58", "2:78", "2:C8", "2:98",
                  "2:C8", "4:01", "2:98", "2:C8", "0:FF", "2:58", "2:78", "2:C8", "2:C0"));
  EXPECT_FALSE(rig.context->bus.bus_address.vpp_flag());
}

TEST(HvIdentify, CodesShowOnePerLineWithoutLeadingZeros) {
  RecordingRig rig;
  rig.port.status_queue = {0xA0, 0x00, 0xF0, 0xF0};  // 0A, then FF
  i28f_identify(*rig.context);
  rig.port.status_queue = {0x00, 0x00, 0x70, 0xA0};  // 00, then A7
  am28f_identify(*rig.context);

  EXPECT_THAT(rig.view.window.boxes, ElementsAre(ShownBox{u"A\r\nFF", u"Тип микросхемы", mb::OK},
                                                 ShownBox{u"0\r\nA7", u"Тип микросхемы", mb::OK}));
}

TEST(I28fBlockErase, PollsOncePerSecondAndEndsWithTheVoltageOff) {
  RecordingRig rig;
  rig.port.status = 0x00;                            // busy
  rig.port.status_queue = {0x00, 0x00, 0x00, 0x80};  // busy, then ready without errors

  EXPECT_EQ(i28f_block_erase(*rig.context, 0x1C000), 0u);

  EXPECT_THAT(rig.services.events, ElementsAre("sleep 1000", "sleep 1000"));
  EXPECT_THAT(latch_loads(rig.port),
              ElementsAre("0:50", "2:58", "2:78", "2:C8",                  // clear status
                          "4:00", "6:C0",                                  // block address
                          "0:20", "2:59", "2:79", "2:C9",                  // erase setup
                          "0:D0", "2:59", "2:79", "2:C9",                  // confirm
                          "0:70", "2:59", "2:79", "2:C9", "2:99", "2:C9",  // busy
                          "0:70", "2:59", "2:79", "2:C9", "2:99", "2:C9",  // ready
                          "2:C1",                                          // voltage off
                          "0:FF", "2:51", "2:71", "2:C1"));
}

TEST(I28fBlockErase, ReportsTheErrorBitsOrAllOfThemWhenNeverReady) {
  RecordingRig errors;
  errors.port.status_queue = {0x80, 0xA0};  // A8: ready, erase error and voltage low
  EXPECT_EQ(i28f_block_erase(*errors.context, 0), 0x28u);

  RecordingRig busy;
  busy.port.status = 0x00;
  EXPECT_EQ(i28f_block_erase(*busy.context, 0), 0x38u);
  EXPECT_EQ(busy.services.events.size(), 10u);
  EXPECT_EQ(busy.services.slept_ms, 10'000u);
  EXPECT_EQ(busy.port.latch_values(LATCH_CTRL).back() & CTRL_VPP, 0);
}

TEST(I28fWrite, ResultHoldsTheProgramErrorsOfAnyByte) {
  const uint8_t bytes[] = {0x11, 0x22, 0x33};
  RecordingRig one;
  one.port.status_queue = {0x80, 0x90};  // ready, program error and voltage low
  EXPECT_EQ(i28f_write(*one.context, bytes, 0, 1), 0x18u);

  // A failed byte in the middle is not hidden by the good bytes after it.
  RecordingRig middle;
  middle.port.status_queue = {0x00, 0x80, 0x00, 0x90, 0x00, 0x80};
  EXPECT_EQ(i28f_write(*middle.context, bytes, 0, 3), 0x10u);
  // ...and the write still went through every byte.
  EXPECT_THAT(middle.port.latch_values(LATCH_ADDR_LO), ElementsAre(0x00, 0x01, 0x02, 0x03));
}

TEST(I28fWrite, ErrorBitsOfSeveralFailedBytesAddUp) {
  // Voltage low on the first byte, a program error on the third, the last one good.
  RecordingRig rig;
  rig.port.status_queue = {0x80, 0x80, 0x00, 0x80, 0x00, 0x90, 0x00, 0x80};
  const uint8_t bytes[] = {0x11, 0x22, 0x33, 0x44};
  EXPECT_EQ(i28f_write(*rig.context, bytes, 0, 4), 0x18u);
}

TEST(I28fWrite, GivesUpAfterTenThousandStatusReadsOfOneByte) {
  RecordingRig rig;
  rig.port.status = 0x00;  // never ready
  const uint8_t bytes[] = {0x00, 0x01};

  EXPECT_EQ(i28f_write(*rig.context, bytes, 0, 2), 0x18u);

  const auto data = rig.port.latch_values(LATCH_DATA);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0x70), 10'000);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0x40), 1);  // the busy chip gets no second byte
  EXPECT_EQ(data.back(), 0xFF);
  EXPECT_EQ(rig.port.latch_values(LATCH_CTRL).back(), 0xC0);
}

TEST(I28fWrite, ReadyOnTheLastAllowedStatusReadIsInTime) {
  RecordingRig rig;
  rig.port.status = 0x00;
  rig.port.status_queue.assign(2 * 9'999, 0x00);
  rig.port.status_queue.insert(rig.port.status_queue.end(), {0x00, 0x80});
  const uint8_t byte = 0x00;
  EXPECT_EQ(i28f_write(*rig.context, &byte, 0, 1), 0u);
}

TEST(Am28fProgramByte, PulsesUntilTheReadMatchesUpToTwentyFiveTimes) {
  // Each pulse makes six delay reads, then the verify read: wrong 24 times,
  // right on the 25th pulse.
  RecordingRig late;
  auto& queue = late.port.status_queue;
  for (int pulse = 0; pulse < 25; ++pulse) {
    queue.insert(queue.end(), 6, 0xFF);
    queue.push_back(pulse < 24 ? uint8_t{0xF0} : uint8_t{0x50});
    queue.push_back(0xA0);
  }
  late.context->bus.bus_address.set_vpp_flag(true);
  EXPECT_EQ(am28f_program_byte(late.context->bus, 0xA5), 0u);
  auto data = late.port.latch_values(LATCH_DATA);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0x40), 25);

  RecordingRig never;  // reads FF forever
  never.context->bus.bus_address.set_vpp_flag(true);
  EXPECT_EQ(am28f_program_byte(never.context->bus, 0xA5), 1u);
  data = never.port.latch_values(LATCH_DATA);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0x40), 25);
  EXPECT_EQ(std::count(data.begin(), data.end(), 0xC0), 25);
}

}  // namespace
}  // namespace fp::test
