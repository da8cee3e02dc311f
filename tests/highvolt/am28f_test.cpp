// The AM28F001 row against the simulated chip: pulse-and-verify programming
// and the two-phase erase, with its pulse limits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "chips/common/common_handlers.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "sim/highvolt/am28f001_model.h"
#include "tests/highvolt/highvolt_rigs.h"

namespace fp::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const ShownBox ERASED{u"Стирание завершено...", u"Программатор", mb::OK};
const ShownBox ERASE_FAILED{u"Ошибка стирания!", u"Программатор", mb::ICON_ERROR};

struct Am28fTest : ::testing::Test {
  SimulatedRig rig{u"AM28F001", "AM28F001", Recording::write_cycles};
  ProgrammerContext& context = *rig.context;
  sim::Am28f001Model& chip = dynamic_cast<sim::Am28f001Model&>(*rig.board.chip());

  void SetUp() override {
    // The voltage must be off while every box is shown.
    rig.view.window.while_shown = [this](const ShownBox&) { EXPECT_FALSE(rig.board.vpp_on()); };
  }

  void set_pulses(std::optional<uint32_t> program, std::optional<uint32_t> erase) {
    sim::ChipFaults faults;
    faults.program_pulses = program;
    faults.erase_pulses = erase;
    chip.set_faults(faults);
  }
  void stick(uint32_t address, uint8_t value) {
    sim::ChipFaults faults;
    faults.stuck[address] = value;
    chip.set_faults(faults);
  }
  [[nodiscard]] size_t erase_pulses_sent() const {
    return rig.recorder.addresses_of(0x20).size() / 2;  // two erase commands a pulse
  }
  void expect_left_safe() {
    EXPECT_FALSE(rig.board.vpp_on());
    EXPECT_FALSE(context.bus.bus_address.vpp_flag());
    EXPECT_EQ(context.bus.progress_prefix, nullptr);
    EXPECT_THAT(rig.board.violations(), IsEmpty());
  }
};

TEST_F(Am28fTest, WriteAbove64KCarriesA16InEveryCycle) {
  const std::vector<uint8_t> image(0x300, 0x42);
  EXPECT_EQ(rig.slots().on_write(context, image.data(), 0x1FC00, 0x300), 0u);
  for (const WriteCycle& cycle : rig.recorder.write_cycles()) ASSERT_GE(cycle.address, 0x1FC00u);
  EXPECT_EQ(rig.memory()[0x1FEFF], 0x42);
  EXPECT_EQ(rig.memory()[0x0FC00], 0xFF);
  expect_left_safe();
}

TEST_F(Am28fTest, AByteMayTakeUpToTwentyFivePulses) {
  const uint8_t bytes[] = {0x12, 0x34};
  set_pulses(25, std::nullopt);
  EXPECT_EQ(am28f_write(context, bytes, 0x100, 2), 0u);
  EXPECT_EQ(chip.program_pulses_given(), 50u);
  EXPECT_EQ(rig.memory()[0x101], 0x34);

  set_pulses(26, std::nullopt);
  EXPECT_EQ(am28f_write(context, bytes, 0x200, 2), 1u);
  EXPECT_EQ(chip.program_pulses_given(), 75u);  // 25 more, all on the first byte
  EXPECT_EQ(rig.memory()[0x200], 0xFF);
  EXPECT_EQ(rig.memory()[0x201], 0xFF);
  expect_left_safe();
}

TEST_F(Am28fTest, AChipWhosePulsesNeverTakeFailsTheFirstByte) {
  sim::ChipFaults faults;
  faults.never_ready = true;
  chip.set_faults(faults);
  const std::vector<uint8_t> image(0x100, 0x00);
  EXPECT_EQ(am28f_write(context, image.data(), 0, 0x100), 1u);
  EXPECT_EQ(chip.program_pulses_given(), 25u);
  EXPECT_EQ(std::count(rig.memory().begin(), rig.memory().end(), 0xFF), 0x20000);
  expect_left_safe();
}

TEST_F(Am28fTest, EraseOfAZeroChipSkipsPreProgrammingAndPulsesUntilErased) {
  std::fill(rig.memory().begin(), rig.memory().end(), 0x00);
  rig.slots().on_erase(context);

  EXPECT_THAT(rig.view.window.boxes, ElementsAre(ERASED));
  EXPECT_EQ(chip.program_pulses_given(), 0u);
  EXPECT_EQ(erase_pulses_sent(), sim::Am28f001Model::DEFAULT_ERASE_PULSES);
  EXPECT_EQ(std::count(rig.memory().begin(), rig.memory().end(), 0xFF), 0x20000);
  EXPECT_EQ(rig.view.status(), u"Стирание: 1FF00h");
  expect_left_safe();
}

TEST_F(Am28fTest, OnePulseEnoughMeansOneVerifyPerAddress) {
  set_pulses(std::nullopt, 1);
  EXPECT_TRUE(am28f_erase_chip(context));
  EXPECT_EQ(erase_pulses_sent(), 1u);
  EXPECT_EQ(rig.recorder.addresses_of(0xA0).size(), 0x20000u);
}

TEST_F(Am28fTest, VerifyResumesAtTheAddressThatWasNotErased) {
  set_pulses(std::nullopt, 1);
  chip.set_erase_pulses_at(0x100, 2);
  EXPECT_TRUE(am28f_erase_chip(context));

  const std::vector<uint32_t> verified = rig.recorder.addresses_of(0xA0);
  ASSERT_EQ(verified.size(), 0x20001u);
  EXPECT_EQ(verified[0x100], 0x100u);
  EXPECT_EQ(verified[0x101], 0x100u);  // after the second pulse, not from 0 again
  EXPECT_EQ(verified[0x102], 0x101u);
  EXPECT_EQ(erase_pulses_sent(), 2u);
}

TEST_F(Am28fTest, TheThousandthPulseIsTheLast) {
  chip.set_erase_pulses_at(0x1FFFF, 1000);
  EXPECT_TRUE(am28f_erase_chip(context));
  EXPECT_EQ(erase_pulses_sent(), 1000u);

  SimulatedRig again{u"AM28F001", "AM28F001", Recording::write_cycles};
  dynamic_cast<sim::Am28f001Model&>(*again.board.chip()).set_erase_pulses_at(0x1FFFF, 1001);
  am28f_erase(*again.context);  // the window's erase: its verdict is the box
  EXPECT_EQ(again.recorder.addresses_of(0x20).size(), 2000u);
  EXPECT_THAT(again.view.window.boxes, ElementsAre(ERASE_FAILED));
  EXPECT_FALSE(again.board.vpp_on());
}

TEST_F(Am28fTest, ThePulseLimitCountsOverTheWholeChip) {
  // Each cell alone is within the limit; the second needs more after the first.
  chip.set_erase_pulses_at(0x100, 600);
  chip.set_erase_pulses_at(0x200, 1001);
  am28f_erase(context);
  EXPECT_EQ(erase_pulses_sent(), 1000u);
  EXPECT_THAT(rig.view.window.boxes, ElementsAre(ERASE_FAILED));
}

TEST_F(Am28fTest, AByteThatWillNotProgramFailsBeforeAnyErasePulse) {
  stick(0x8000, 0x7F);
  am28f_erase(context);
  EXPECT_EQ(erase_pulses_sent(), 0u);
  EXPECT_EQ(chip.program_pulses_given(), 0x8000u + 25u);
  EXPECT_THAT(rig.view.window.boxes, ElementsAre(ERASE_FAILED));
  expect_left_safe();
}

}  // namespace
}  // namespace fp::test
