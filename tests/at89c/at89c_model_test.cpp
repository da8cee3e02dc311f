// The simulated AT89C2051/4051 driven line by line: what it takes, what it
// refuses, and the violations it records.
#include "sim/at89c/at89c_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>

#include "chips/at89c/at89c_bus.h"
#include "chips/at89c/at89c_handlers.h"
#include "tests/support/programmer_rigs.h"

namespace fp::test {
namespace {

using sim::At89cModel;
using sim::At89cTiming;

class At89cModelTest : public ::testing::Test {
 protected:
  At89cModel& insert(std::string_view name, At89cTiming timing = {}) {
    auto chip = std::make_unique<At89cModel>(*sim::find_at89c_variant(name), timing);
    At89cModel& model = *chip;
    rig.board.insert(std::move(chip));
    rig.select(name == "AT89C2051" ? u"AT89C2051/2052" : u"AT89C4051/4052");
    return model;
  }

  ProgrammerBus& bus() { return rig.context->bus; }
  void lines(uint8_t pattern) { bus().latch_write(LATCH_ADDR_LO, pattern); }
  void control(uint8_t value) { bus().latch_write(LATCH_CTRL, value); }
  void wait_ms(uint64_t milliseconds) { rig.board.advance_us(milliseconds * 1000); }

  // Write mode under the programming voltage, counter at 0.
  void enter_write_mode() {
    control(0xC0);
    lines(0x13);
    at89c_reset_counter(bus());
    lines(0x17);
    control(0x58);
  }
  void program_pulse(uint8_t value) {
    bus().latch_write(LATCH_DATA, value);
    lines(0x07);
    lines(0x17);
  }
  uint8_t read_at(uint32_t address) {
    control(0xD0);
    lines(0x13);
    at89c_reset_counter(bus());
    at89c_skip(bus(), address);
    return bus().read_nibbles();
  }

  SimulatedRig rig;
};

TEST_F(At89cModelTest, CounterStartsAtTheResetAndWrapsAtTheChipSize) {
  for (const auto& [name, size] : {std::pair{"AT89C2051", 0x800u}, {"AT89C4051", 0x1000u}}) {
    SCOPED_TRACE(name);
    At89cModel& chip = insert(name);
    std::vector<uint8_t>& code = *chip.memory("main");
    ASSERT_EQ(code.size(), size);
    std::iota(code.begin(), code.end(), uint8_t{0x40});

    lines(0x13);
    at89c_reset_counter(bus());
    EXPECT_EQ(bus().read_nibbles(), 0x40);
    at89c_skip(bus(), 5);
    EXPECT_EQ(bus().read_nibbles(), 0x45);
    at89c_skip(bus(), size - 5);
    EXPECT_EQ(chip.counter(), 0u);
    EXPECT_EQ(bus().read_nibbles(), 0x40);

    at89c_skip(bus(), 7);
    at89c_reset_counter(bus());
    EXPECT_EQ(bus().read_nibbles(), 0x40);
    EXPECT_TRUE(rig.board.violations().empty());
  }
}

TEST_F(At89cModelTest, SignatureModeShowsTheVariantCodes) {
  for (const auto& [name, device] : {std::pair{"AT89C2051", 0x21}, {"AT89C4051", 0x41}}) {
    SCOPED_TRACE(name);
    insert(name);
    at89c_reset_counter(bus());
    lines(0x10);
    EXPECT_EQ(bus().read_nibbles(), 0x1E);
    at89c_clock_pulse(bus(), 0x10);
    EXPECT_EQ(bus().read_nibbles(), device);
    at89c_clock_pulse(bus(), 0x10);
    EXPECT_EQ(bus().read_nibbles(), 0xFF);
  }
}

TEST_F(At89cModelTest, ProgrammingOnlyClearsBitsAndTakesItsWriteTime) {
  At89cModel& chip = insert("AT89C2051");
  enter_write_mode();
  program_pulse(0xF0);
  EXPECT_TRUE(chip.busy(rig.board.now_us()));
  wait_ms(2);
  EXPECT_FALSE(chip.busy(rig.board.now_us()));
  at89c_clock_pulse(bus(), 0x17);
  program_pulse(0x5A);
  wait_ms(2);
  at89c_clock_pulse(bus(), 0x17);
  enter_write_mode();
  program_pulse(0x0F);  // over 0xF0: no bit comes back to 1
  wait_ms(2);

  EXPECT_EQ(read_at(0), 0x00);
  EXPECT_EQ(read_at(1), 0x5A);
  EXPECT_EQ(read_at(2), 0xFF);
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST_F(At89cModelTest, PulsesAndClocksWhileBusyAreOneViolation) {
  insert("AT89C4051", At89cTiming{.byte_write_us = 4000});
  enter_write_mode();
  program_pulse(0x12);
  wait_ms(3);  // the handler's wait, too short for this chip
  at89c_clock_pulse(bus(), 0x17);
  program_pulse(0x34);

  ASSERT_EQ(rig.board.violations().size(), 1u);
  EXPECT_EQ(rig.board.violations()[0],
            "AT89C4051: address clock while the byte at 000 is still being written");
  wait_ms(5);
  EXPECT_EQ(read_at(0), 0x12);
  EXPECT_EQ(read_at(1), 0xFF);  // the pulse while busy was ignored
}

TEST_F(At89cModelTest, ProgramPulseNeedsTheVoltageAndDrivenDataLines) {
  insert("AT89C2051");
  lines(0x13);
  at89c_reset_counter(bus());
  lines(0x17);
  control(0x50);  // data driven, no voltage
  program_pulse(0x00);
  control(0xD8);  // voltage, data latch off the bus
  program_pulse(0x00);
  control(0xD0);

  const std::vector<std::string> expected{
      "AT89C2051: program pulse without the programming voltage; nothing done",
      "AT89C2051: program pulse with nothing driving the data lines (control latch D8); "
      "nothing written"};
  EXPECT_EQ(rig.board.violations(), expected);
  wait_ms(3);
  EXPECT_EQ(read_at(0), 0xFF);
}

TEST_F(At89cModelTest, EraseNeedsTheWholePulseAndSparesStuckBytes) {
  At89cModel& chip = insert("AT89C4051");
  sim::ChipFaults faults;
  faults.stuck[0x123] = 0x5A;
  chip.set_faults(faults);
  std::vector<uint8_t>& code = *chip.memory("main");
  std::fill(code.begin(), code.end(), 0x00);

  at89c_reset_counter(bus());
  control(0xC8);
  lines(0x18);
  lines(0x08);
  wait_ms(5);
  lines(0x18);
  ASSERT_EQ(rig.board.violations().size(), 1u);
  EXPECT_EQ(rig.board.violations()[0],
            "AT89C4051: erase pulse held 5.004 ms, shorter than 10.000 ms; nothing erased");
  EXPECT_EQ(code[0], 0x00);

  lines(0x08);
  wait_ms(10);
  lines(0x18);
  control(0xC0);
  EXPECT_EQ(rig.board.violations().size(), 1u);
  EXPECT_EQ(read_at(0), 0xFF);
  EXPECT_EQ(read_at(0xFFF), 0xFF);
  EXPECT_EQ(read_at(0x123), 0x5A);
}

TEST_F(At89cModelTest, VoltageIsTakenOnlyForWriteAndErase) {
  insert("AT89C2051");
  lines(0x13);
  at89c_reset_counter(bus());
  control(0xC8);  // as the calibration does, with the chip left in
  control(0xC0);
  control(0xC8);
  at89c_clock_pulse(bus(), 0x13);
  control(0xC0);

  const std::vector<std::string> expected{
      "AT89C2051: programming voltage switched on in read mode and off again: only write and "
      "erase take it",
      "AT89C2051: programming voltage on in read mode: only write and erase take it"};
  EXPECT_EQ(rig.board.violations(), expected);
}

TEST_F(At89cModelTest, NeverReadyChipWritesNothingAndComplainsOnce) {
  At89cModel& chip = insert("AT89C2051");
  sim::ChipFaults faults;
  faults.never_ready = true;
  chip.set_faults(faults);
  const uint8_t image[3] = {0x01, 0x02, 0x03};
  at89c_write(*rig.context, image, 0, 3);
  EXPECT_NE(at89c_verify(*rig.context, image, 0, 3), 0u);

  EXPECT_EQ(rig.board.violations(),
            std::vector<std::string>{
                "AT89C2051: address clock while the byte at 000 is still being written"});
  EXPECT_EQ((*chip.memory("main"))[0], 0xFF);
  // The reset that began the verify ended the hung write.
  EXPECT_FALSE(chip.busy(rig.board.now_us()));
}

TEST_F(At89cModelTest, BackInTheSocketTheChipTakesTheLinesAsTheyAre) {
  insert("AT89C4051");
  at89c_identify(*rig.context);
  auto chip = rig.board.remove();
  // Another chip's work moves every latch meanwhile.
  bus().bus_reset();
  lines(0x08);
  control(0x90);
  rig.board.insert(std::move(chip));
  at89c_identify(*rig.context);

  EXPECT_TRUE(rig.board.violations().empty());
  EXPECT_EQ(rig.view.window.boxes.back().text, u"1E\r\n41\r\nFF");
}

}  // namespace
}  // namespace fp::test
