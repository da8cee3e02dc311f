#include <gtest/gtest.h>

#include "bus/block_ops.h"
#include "tests/support/programmer_rigs.h"

namespace fp {
namespace {

using test::RecordingRig;
using Events = std::vector<std::string>;

class ProgrammerBusTest : public ::testing::Test {
 protected:
  RecordingRig rig;
  ProgrammerBus& bus = rig.context->bus;
  Events events() const { return rig.recorder.port_lines(); }
};

TEST_F(ProgrammerBusTest, LatchWriteStrobesTheSelectedLatch) {
  bus.latch_write(LATCH_ADDR_MID, 0x12);
  EXPECT_EQ(events(), (Events{"out 378 12", "out 37A 06", "out 37A 07", "out 37A 06"}));
  rig.recorder.clear();
  bus.latch_write(LATCH_DATA, 0xA5);
  EXPECT_EQ(events().back(), "out 37A 00");  // the control register is left at the select
}

TEST_F(ProgrammerBusTest, ReadNibblesJoinsTheTwoStatusHalves) {
  rig.recorder.status_queue = {0xA7, 0x3F};  // low nibble A, high nibble 3; bits 0-3 ignored
  EXPECT_EQ(bus.read_nibbles(), 0x3A);
  EXPECT_EQ(events(), (Events{"out 37A 00", "in 379", "out 37A 02", "in 379"}));
}

TEST_F(ProgrammerBusTest, ReadCycleThenAddressStepIsTheDocumentedTraffic) {
  bus.bus_address.set(0x20010);
  rig.recorder.status_queue = {0x50, 0xA0};
  EXPECT_EQ(bus.bus_read_cycle(), 0xA5);
  bus.address_step();
  EXPECT_EQ(events(),
            (Events{"out 378 92", "out 37A 02", "out 37A 03", "out 37A 02", "out 37A 00", "in 379",
                    "out 37A 02", "in 379", "out 378 C2", "out 37A 02", "out 37A 03", "out 37A 02",
                    "out 378 11", "out 37A 04", "out 37A 05", "out 37A 04"}));
}

TEST_F(ProgrammerBusTest, ReadCycleNeverCarriesTheVoltageBit) {
  bus.bus_address.set(0x10000);
  bus.bus_address.set_vpp_flag(true);
  bus.bus_read_cycle();
  EXPECT_EQ(rig.recorder.latch_values(LATCH_CTRL), (std::vector<uint8_t>{0x91, 0xC1}));
}

TEST_F(ProgrammerBusTest, AddressStepCarriesThroughTheThreeBytes) {
  rig.context->bus.progress_prefix = u"Чтение: ";
  bus.bus_address.set(0x000FF);
  bus.address_step();
  EXPECT_EQ(rig.recorder.latch_values(LATCH_ADDR_LO), (std::vector<uint8_t>{0x00}));
  EXPECT_EQ(rig.recorder.latch_values(LATCH_ADDR_MID), (std::vector<uint8_t>{0x01}));
  EXPECT_EQ(rig.view.status(), u"Чтение: 100h");

  rig.recorder.clear();
  bus.bus_address.set(0x0FFFF);
  bus.address_step();
  EXPECT_EQ(bus.bus_address.address(), 0x10000u);
  EXPECT_TRUE(rig.recorder.latch_values(LATCH_CTRL).empty());  // A16 travels with the next cycle
  EXPECT_EQ(rig.view.status(), u"Чтение: 10000h");

  bus.bus_address.set(0x7FFFF);
  bus.bus_address.set_vpp_flag(true);
  bus.address_step();
  EXPECT_EQ(bus.bus_address.address(), 0u);
  EXPECT_TRUE(bus.bus_address.vpp_flag());
  EXPECT_EQ(rig.view.status(), u"Чтение: 0h");
}

TEST_F(ProgrammerBusTest, AddressStepShowsProgressOnlyAtMultiplesOf256WithAPrefix) {
  bus.bus_address.set(0x10);
  bus.address_step();
  bus.bus_address.set(0xFF);
  bus.progress_prefix = nullptr;
  bus.address_step();
  EXPECT_TRUE(rig.view.status_texts.empty());
}

TEST_F(ProgrammerBusTest, ResetsLeaveTheBoardIdleWithOrWithoutTheVoltage) {
  bus.bus_address.set(0x12345);
  bus.bus_reset();
  EXPECT_EQ(bus.bus_address.bytes, (std::array<uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(rig.recorder.latch_values(LATCH_CTRL), (std::vector<uint8_t>{0xC0}));
  EXPECT_EQ(rig.recorder.latch_values(LATCH_DATA), (std::vector<uint8_t>{0xFF}));
  rig.recorder.clear();
  bus.bus_reset_vpp();
  EXPECT_EQ(bus.bus_address.bytes, (std::array<uint8_t, 4>{0, 0, 0, 0x08}));
  EXPECT_EQ(events()[0], "out 378 C8");
  EXPECT_EQ(events().size(), 16u);
}

TEST_F(ProgrammerBusTest, StatusPortDelayIsThreeStatusReads) {
  bus.status_port_delay();
  EXPECT_EQ(events(), (Events{"in 379", "in 379", "in 379"}));
}

TEST_F(ProgrammerBusTest, BlockReadCarriesIntoA16) {
  std::vector<uint8_t> buffer(0x20);
  bus_read_block(bus, buffer.data(), 0x1FFF0, 0x20);
  const auto control = rig.recorder.latch_values(LATCH_CTRL);
  ASSERT_EQ(control.size(), 0x40u);
  EXPECT_EQ(control[0], 0x91);
  EXPECT_EQ(control[31], 0xC1);
  EXPECT_EQ(control[32], 0x92);
  EXPECT_EQ(bus.bus_address.address(), 0x20010u);
}

TEST_F(ProgrammerBusTest, HeldReadLoadsTheControlLatchOnlyWhenA16Changes) {
  rig.recorder.status_queue = {0x10, 0x20, 0x30, 0x40};  // 0x21, then 0x43
  std::vector<uint8_t> buffer(2);
  bus.bus_address.set_vpp_flag(true);
  bus_read_block_held(bus, buffer.data(), 0x1FFFF, 2);
  EXPECT_EQ(buffer, (std::vector<uint8_t>{0x21, 0x43}));
  EXPECT_EQ(rig.recorder.latch_values(LATCH_CTRL), (std::vector<uint8_t>{0x91, 0x92, 0xC2}));
  EXPECT_EQ(events(), (Events{
                          "out 378 FF", "out 37A 04", "out 37A 05", "out 37A 04",  // A0-A7
                          "out 378 FF", "out 37A 06", "out 37A 07", "out 37A 06",  // A8-A15
                          "out 378 91", "out 37A 02", "out 37A 03", "out 37A 02",  //
                          "out 37A 00", "in 379",     "out 37A 02", "in 379",      //
                          "out 378 00", "out 37A 04", "out 37A 05", "out 37A 04",  //
                          "out 378 00", "out 37A 06", "out 37A 07", "out 37A 06",  //
                          "out 378 92", "out 37A 02", "out 37A 03", "out 37A 02",  //
                          "out 37A 00", "in 379",     "out 37A 02", "in 379",      //
                          "out 378 C2", "out 37A 02", "out 37A 03", "out 37A 02",  //
                          "out 378 01", "out 37A 04", "out 37A 05", "out 37A 04",  //
                      }));
  EXPECT_EQ(bus.bus_address.address(), 0x20001u);
  EXPECT_FALSE(bus.bus_address.vpp_flag());
}

TEST_F(ProgrammerBusTest, BlockOpsLoadTheStartAddressFirst) {
  std::vector<uint8_t> buffer(1);
  bus.bus_address.set_vpp_flag(true);
  bus_read_block(bus, buffer.data(), 0x1234, 1);
  EXPECT_EQ(events()[0], "out 378 34");
  EXPECT_EQ(events()[1], "out 37A 04");
  EXPECT_EQ(events()[4], "out 378 12");
  EXPECT_EQ(events()[8], "out 378 90");
  EXPECT_FALSE(bus.bus_address.vpp_flag());
}

TEST_F(ProgrammerBusTest, VerifyStopsAtTheFirstDifferenceWithTheChipDriving) {
  rig.recorder.status = 0xF0;  // reads 0xFF
  const std::vector<uint8_t> buffer{0x00, 0xFF};
  EXPECT_NE(bus_verify_block(bus, buffer.data(), 0x100, 2), 0u);
  EXPECT_EQ(rig.recorder.latch_values(LATCH_CTRL), (std::vector<uint8_t>{0x90}));
  EXPECT_EQ(bus.bus_address.address(), 0x100u);

  const std::vector<uint8_t> blank(0x10000, 0xFF);
  bus.progress_prefix = u"Проверка: ";
  EXPECT_EQ(bus_verify_block(bus, blank.data(), 0, 0x10000), 0u);
  EXPECT_EQ(rig.view.status(), u"Проверка: 10000h");
}

TEST_F(ProgrammerBusTest, BlankCheckCountsWhatIsLeftAndKeepsTheVoltageFlag) {
  rig.recorder.status = 0xF0;
  bus.bus_address.set_vpp_flag(true);
  EXPECT_EQ(bus_blank_check(bus, 0, 0x100), 0u);
  EXPECT_TRUE(bus.bus_address.vpp_flag());

  // 0xFF everywhere but the last byte, which reads 0x00.
  rig.recorder.status_queue.assign(2 * 0xFF, 0xF0);
  rig.recorder.status_queue.push_back(0x00);
  rig.recorder.status_queue.push_back(0x00);
  EXPECT_EQ(bus_blank_check(bus, 0, 0x100), 1u);
  EXPECT_EQ(bus.bus_address.address(), 0xFFu);
}

}  // namespace
}  // namespace fp
