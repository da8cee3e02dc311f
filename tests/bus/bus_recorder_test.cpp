// The test recorder's own decoders, where a mistake would let the family
// tests pass on wrong traffic.
#include "tests/support/bus_recorder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/programmer_rigs.h"

namespace fp::test {
namespace {

using ::testing::ElementsAre;

// Two write cycles, the second above 64K with the voltage on, and a read between.
void cycles_and_a_read(ProgrammerBus& bus) {
  bus.latch_write(LATCH_ADDR_LO, 0x34);
  bus.latch_write(LATCH_ADDR_MID, 0x12);
  bus.latch_write(LATCH_DATA, 0xA5);
  for (const uint8_t control : {CTRL_WRITE_SETUP, CTRL_WRITE_PULSE, CTRL_IDLE})
    bus.latch_write(LATCH_CTRL, control);
  bus.bus_read_cycle();
  bus.latch_write(LATCH_DATA, 0x3C);
  for (const uint8_t control : {CTRL_WRITE_SETUP, CTRL_WRITE_PULSE, CTRL_WRITE_SETUP})
    bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(control | CTRL_VPP | 0x01));
}

TEST(BusRecorder, WriteCyclesAreTheSameKeptAloneOrDecodedFromEveryAccess) {
  SimulatedRig every(Recording::every_access);
  SimulatedRig cycles_only(Recording::write_cycles);
  cycles_and_a_read(every.bus());
  cycles_and_a_read(cycles_only.bus());

  const std::vector<WriteCycle> expected{{0x01234, 0xA5, false}, {0x11234, 0x3C, true}};
  EXPECT_EQ(every.recorder.write_cycles(), expected);
  EXPECT_EQ(cycles_only.recorder.write_cycles(), expected);
  EXPECT_THAT(every.recorder.bus_story(),
              ElementsAre("write 01234 A5", "read 01234", "write 11234 3C"));
  // A recorder that kept no accesses refuses to decode them rather than find none.
  EXPECT_THROW((void)cycles_only.recorder.accesses(), std::logic_error);
  EXPECT_THROW((void)cycles_only.recorder.latch_events(), std::logic_error);
}

TEST(BusRecorder, LatchProtocolShowsEveryAccessOutsideALoadOrANibbleReadAsStray) {
  RecordingRig rig;
  rig.recorder.out(CONTROL_PORT, 0x03);  // a strobe without its select and data
  rig.bus().latch_write(LATCH_CTRL, 0x51);
  rig.bus().status_port_delay();
  rig.bus().read_nibbles();
  rig.context->clock.sleep_ms(3);
  EXPECT_THAT(rig.recorder.latch_events(),
              ElementsAre("stray out 37A 03", "ctrl 51", "stray in 379", "stray in 379",
                          "stray in 379", "read", "sleep 3"));
  // The board itself loads the control latch on that first strobe.
  EXPECT_THAT(rig.recorder.load_lines(), ElementsAre("ctrl 00", "ctrl 51"));
}

}  // namespace
}  // namespace fp::test
