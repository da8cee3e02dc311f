// The simulated high-voltage chips answer as their datasheets say, and
// record what a real chip would not take.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "sim/highvolt/i28f001bx_model.h"
#include "tests/highvolt/highvolt_rigs.h"

namespace fp::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct ModelTest : ::testing::Test {
  SimulatedRig rig;
  ProgrammerBus& bus = rig.context->bus;

  void at(uint32_t address, bool vpp) {
    bus.bus_address.set(address);
    bus.bus_address.set_vpp_flag(vpp);
    bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
    bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
  }
  uint8_t status() {
    hv_command_write(bus, 0x70);
    return hv_read_cycle(bus);
  }
};

TEST_F(ModelTest, I28fWithoutTheVoltageRefusesToProgramOrEraseAndSaysWhy) {
  sim::ChipModel& chip = rig.insert("I28F001BX-T");
  at(0x1234, false);
  hv_command_write(bus, 0x40);
  hv_command_write(bus, 0x00);
  EXPECT_EQ(status(), 0x98);  // ready, program error, voltage low
  hv_command_write(bus, 0x50);
  EXPECT_EQ(status(), 0x80);
  hv_command_write(bus, 0x20);
  hv_command_write(bus, 0xD0);
  EXPECT_EQ(status(), 0xA8);  // ready, erase error, voltage low
  EXPECT_EQ((*chip.memory("main"))[0x1234], 0xFF);
  EXPECT_THAT(rig.board.violations(), IsEmpty());
}

TEST_F(ModelTest, I28fEraseTakesTheBlocksTimeAndIgnoresCommandsMeanwhile) {
  sim::ChipModel& chip = rig.insert("I28F001BX-T");
  std::fill(chip.memory("main")->begin(), chip.memory("main")->end(), 0x00);
  at(0x1C800, true);  // inside a 4 KiB parameter block
  hv_command_write(bus, 0x20);
  hv_command_write(bus, 0xD0);
  EXPECT_EQ(status(), 0x00);
  hv_command_write(bus, 0xFF);  // not taken while busy
  EXPECT_THAT(rig.board.violations(), ElementsAre(HasSubstr("while a program or erase")));
  rig.clock.sleep_ms(1200);
  EXPECT_EQ(status(), 0x80);
  hv_command_write(bus, 0xFF);
  const auto& memory = *chip.memory("main");
  EXPECT_EQ(memory[0x1C000], 0xFF);
  EXPECT_EQ(memory[0x1CFFF], 0xFF);
  EXPECT_EQ(memory[0x1BFFF], 0x00);
  EXPECT_EQ(memory[0x1D000], 0x00);

  at(0x00000, true);  // the large main block
  hv_command_write(bus, 0x20);
  hv_command_write(bus, 0xD0);
  rig.clock.sleep_ms(2000);
  EXPECT_EQ(status(), 0x00);
  rig.clock.sleep_ms(400);
  EXPECT_EQ(status(), 0x80);
}

TEST_F(ModelTest, I28fRaisingABitIsAProgramErrorAndABrokenEraseASequenceError) {
  sim::ChipModel& chip = rig.insert("I28F001BX-B");
  (*chip.memory("main"))[0x10] = 0x0F;
  at(0x10, true);
  hv_command_write(bus, 0x40);
  hv_command_write(bus, 0xF5);
  EXPECT_EQ(status(), 0x90);
  EXPECT_EQ((*chip.memory("main"))[0x10], 0x05);

  hv_command_write(bus, 0x50);
  hv_command_write(bus, 0x20);
  hv_command_write(bus, 0xFF);
  EXPECT_EQ(status(), 0xB0);
  EXPECT_THAT(rig.board.violations(), ElementsAre(HasSubstr("instead of the confirm")));
}

// A block that will not erase (a cell stuck at 00) raises the erase error
// bit, and the handler's block erase passes it on rather than success.
TEST_F(ModelTest, I28fABlockThatWillNotEraseIsAnEraseErrorForTheHandler) {
  rig.select(u"i28F001BX-T");
  sim::ChipModel& chip = rig.insert("I28F001BX-T");
  sim::ChipFaults faults;
  faults.stuck[0x1C010] = 0x00;
  chip.set_faults(faults);
  EXPECT_EQ(i28f_block_erase(*rig.context, 0x1D000), 0u);
  EXPECT_EQ(i28f_block_erase(*rig.context, 0x1C000), 0x20u);
  EXPECT_THAT(rig.board.violations(), IsEmpty());
}

TEST_F(ModelTest, Am28fIsReadOnlyWithoutTheVoltage) {
  sim::ChipModel& chip = rig.insert("AM28F001");
  at(0x20, false);
  hv_command_write(bus, 0x40);
  hv_command_write(bus, 0x00);
  EXPECT_EQ(hv_read_cycle(bus), 0xFF);
  EXPECT_EQ((*chip.memory("main"))[0x20], 0xFF);
  EXPECT_EQ(rig.board.violations().size(), 2u);
  EXPECT_THAT(rig.board.violations()[0], HasSubstr("without the programming voltage"));
}

TEST_F(ModelTest, Am28fErasePulseOnUnprogrammedCellsIsAnOverErase) {
  rig.insert("AM28F001");
  at(0, true);
  hv_command_write(bus, 0x20);
  hv_command_write(bus, 0x20);
  rig.clock.sleep_ms(10);
  hv_command_write(bus, 0xA0);
  EXPECT_THAT(rig.board.violations(), ElementsAre(HasSubstr("over-erase")));
}

}  // namespace
}  // namespace fp::test
