// The simulated chips: what they take, what they refuse, and what they record
// as a violation.
#include "sim/jedec/jedec_flash.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "bus/block_ops.h"
#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_handlers.h"
#include "chips/jedec/page_write.h"
#include "tests/jedec/jedec_cycles.h"
#include "tests/support/programmer_rigs.h"

namespace fp::test {
namespace {

using sim::JedecFlash;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct Socket {
  Socket(std::u16string_view row, std::string_view model)
      : rig(row, model), chip(dynamic_cast<JedecFlash*>(rig.board.chip())) {}
  ProgrammerBus& bus() { return rig.bus(); }
  std::vector<uint8_t>& cells() { return rig.memory(); }
  uint8_t read(uint32_t address) {
    uint8_t value = 0;
    bus_read_block(bus(), &value, address, 1);
    return value;
  }
  void data_at(uint32_t address, uint8_t data) { data_cycle_at(bus(), address, data); }
  const std::vector<std::string>& violations() { return rig.board.violations(); }
  SimulatedRig rig;
  JedecFlash* chip;
};

TEST(JedecFlash, AnswersItsCodesInIdentificationModeOnly) {
  const std::tuple<const char16_t*, const char*, uint8_t, uint8_t> chips[] = {
      {u"AT29C010A", "AT29C010A", 0x1F, 0xD5},
      {u"AT29C040A", "AT29C040A", 0x1F, 0xA4},
      {u"W29EE512", "W29EE512", 0xDA, 0xC8},
      {u"AT49F512", "AT49F512", 0x1F, 0x03},
      {u"AT49F002", "AT49F002", 0x1F, 0x07}};
  for (const auto& [row, model, manufacturer, device] : chips) {
    Socket socket(row, model);
    socket.cells()[0] = 0x42;
    const JedecId id = read_jedec_id(*socket.rig.context);
    EXPECT_EQ(id.manufacturer, manufacturer) << model;
    EXPECT_EQ(id.device, device) << model;
    EXPECT_FALSE(socket.chip->identification_mode());
    EXPECT_EQ(socket.read(0), 0x42);
    EXPECT_THAT(socket.violations(), IsEmpty());
  }
}

TEST(JedecFlash, AWrongCycleInsideACommandReturnsToReadMode) {
  Socket socket(u"AT49F512", "AT49F512");
  jedec_write(socket.bus(), 0x5555, 0xAA);
  jedec_write(socket.bus(), 0x2AAB, 0x55);  // not the second unlock address
  EXPECT_EQ(socket.chip->command_state(), JedecFlash::CommandState::ready);
  jedec_write(socket.bus(), 0x5555, 0xA0);
  socket.data_at(0x100, 0x00);
  EXPECT_EQ(socket.read(0x100), 0xFF);
  EXPECT_THAT(socket.violations(), IsEmpty());
}

TEST(JedecFlash, PageWriteFillsTheBytesNotLoadedWithFF) {
  Socket socket(u"AT29C010A", "AT29C010A");
  std::fill(socket.cells().begin(), socket.cells().end(), 0x00);
  send_sequence(socket.bus(), SEQ_SDP_OFF);
  socket.data_at(0x180, 0x11);
  socket.data_at(0x181, 0x22);
  socket.rig.clock.sleep_ms(10);
  EXPECT_EQ(socket.cells()[0x180], 0x11);
  EXPECT_EQ(socket.cells()[0x181], 0x22);
  EXPECT_EQ(socket.cells()[0x182], 0xFF);
  EXPECT_EQ(socket.cells()[0x1FF], 0xFF);
  EXPECT_EQ(socket.cells()[0x17F], 0x00);
  EXPECT_EQ(socket.cells()[0x200], 0x00);
}

TEST(JedecFlash, ASlowPageLoadEndsAndItsLateBytesHitTheWriteCycle) {
  Socket socket(u"W29EE512", "W29EE512");
  socket.data_at(0x400, 0x11);
  socket.rig.clock.sleep_ms(1);  // far beyond the 200 µs byte-load limit
  socket.data_at(0x401, 0x22);
  EXPECT_THAT(socket.violations(), ElementsAre(HasSubstr("during the page write")));
  socket.rig.clock.sleep_ms(10);
  EXPECT_EQ(socket.read(0x400), 0x11);
  EXPECT_EQ(socket.read(0x401), 0xFF);
}

TEST(JedecFlash, PagesWithoutTheWaitBetweenThemAreViolations) {
  Socket socket(u"W29EE512", "W29EE512");
  socket.data_at(0x000, 0x11);
  socket.data_at(0x080, 0x22);  // another page while the first one loads
  EXPECT_THAT(socket.violations(), ElementsAre(HasSubstr("outside the page at 00000")));
}

TEST(JedecFlash, ReadsWhileBusyShowTheComplementOnDq7AndAToggleOnDq6) {
  Socket socket(u"AT49F512", "AT49F512");
  send_sequence(socket.bus(), SEQ_PROGRAM);
  socket.data_at(0x10, 0x80);
  socket.bus().bus_address.set(0x10);
  const uint8_t first = socket.bus().bus_read_cycle();
  const uint8_t second = socket.bus().bus_read_cycle();
  EXPECT_EQ(first & 0x80, 0x00);
  EXPECT_NE(first & 0x40, second & 0x40);
  socket.rig.clock.sleep_ms(1);
  EXPECT_EQ(socket.bus().bus_read_cycle(), 0x80);
}

TEST(JedecFlash, At29cPagesGetThroughProtectionAndSwitchItOff) {
  Socket socket(u"AT29C010A", "AT29C010A");
  sdp_on(*socket.rig.context);
  std::vector<uint8_t> image(0x80, 0x33);
  EXPECT_EQ(at29c010a_write(*socket.rig.context, image.data(), 0x1FF80, 0x80), 0u);
  EXPECT_EQ(socket.read(0x1FF80), 0x33);
  EXPECT_FALSE(socket.chip->software_protection());
  EXPECT_THAT(socket.violations(), IsEmpty());
}

TEST(JedecFlash, ByteProgrammingOnlyClearsBits) {
  Socket socket(u"AT49F002", "AT49F002");
  socket.cells()[0x3FFFF] = 0xF0;
  const uint8_t data = 0x0F;
  at49f_write(*socket.rig.context, &data, 0x3FFFF, 1);
  EXPECT_EQ(socket.cells()[0x3FFFF], 0x00);
  EXPECT_THAT(socket.violations(), IsEmpty());
}

TEST(JedecFlash, SectorEraseErasesTheWholeSectorHoldingTheAddressAndNothingElse) {
  Socket socket(u"AT49F002", "AT49F002");
  std::fill(socket.cells().begin(), socket.cells().end(), 0x00);
  at49f_block_erase(*socket.rig.context, 0x1C000);
  EXPECT_EQ(socket.cells()[0x07FFF], 0x00);
  EXPECT_EQ(socket.cells()[0x08000], 0xFF);
  EXPECT_EQ(socket.cells()[0x1FFFF], 0xFF);
  EXPECT_EQ(socket.cells()[0x20000], 0x00);
  EXPECT_THAT(socket.violations(), IsEmpty());
}

TEST(JedecFlash, At49f512HasNoSectorErase) {
  Socket socket(u"AT49F512", "AT49F512");
  std::fill(socket.cells().begin(), socket.cells().end(), 0x00);
  at49f_block_erase(*socket.rig.context, 0x4000);
  EXPECT_THAT(socket.violations(), ElementsAre(HasSubstr("not a command of this chip")));
  EXPECT_EQ(socket.cells()[0x4000], 0x00);
}

TEST(JedecFlash, ACommandWhileTheEraseRunsIsAViolation) {
  Socket socket(u"AT49F512", "AT49F512");
  send_sequence(socket.bus(), SEQ_CHIP_ERASE);
  socket.rig.clock.sleep_ms(1000);  // the erase takes 4 s
  send_sequence(socket.bus(), SEQ_PROGRAM);
  ASSERT_EQ(socket.violations().size(), 3u);
  EXPECT_THAT(socket.violations()[0], HasSubstr("during the chip erase"));
}

TEST(JedecFlash, W29ee512ChipEraseTakesFortyMilliseconds) {
  Socket socket(u"W29EE512", "W29EE512");
  std::fill(socket.cells().begin(), socket.cells().end(), 0x00);
  send_sequence(socket.bus(), SEQ_CHIP_ERASE);
  socket.rig.clock.sleep_ms(39);
  EXPECT_EQ(std::count(socket.cells().begin(), socket.cells().end(), 0x00), 0x10000);
  socket.rig.clock.sleep_ms(1);
  EXPECT_EQ(std::count(socket.cells().begin(), socket.cells().end(), 0xFF), 0x10000);
  EXPECT_THAT(socket.violations(), IsEmpty());
}

TEST(JedecFlash, ProgrammingVoltageIsAViolation) {
  Socket socket(u"AT29C040A", "AT29C040A");
  socket.bus().bus_reset_vpp();
  EXPECT_THAT(socket.violations(), ElementsAre(HasSubstr("programming voltage")));
}

TEST(JedecFlash, ANeverReadyChipProgramsNothing) {
  Socket socket(u"AT29C010A", "AT29C010A");
  sim::ChipFaults faults;
  faults.never_ready = true;
  socket.chip->set_faults(faults);
  std::vector<uint8_t> image(0x100, 0x00);
  at29c010a_write(*socket.rig.context, image.data(), 0, 0x100);
  // The second page's command cycles meet the first page's endless write.
  EXPECT_THAT(socket.violations(), testing::Contains(HasSubstr("never ends")));
  EXPECT_EQ(socket.cells()[0], 0xFF);
}

}  // namespace
}  // namespace fp::test
