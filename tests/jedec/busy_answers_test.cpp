// What the simulated chips answer while they program or erase: busy (DQ7 the
// complement of the bit being written, DQ6 toggling from read to read) for
// exactly their busy time, counted from the end of the byte-load window for a
// page, then the cells. A model that reports ready too early or never fails here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chips/jedec/jedec_bus.h"
#include "sim/jedec/jedec_flash.h"
#include "tests/jedec/jedec_cycles.h"

namespace fp::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

enum class Work { page_write, chip_erase, sector_erase };

struct BusyCase {
  const char16_t* row;
  const char* model;
  Work work;
};

std::string case_name(const BusyCase& busy_case) {
  static constexpr const char* WORK_NAMES[] = {"page_write", "chip_erase", "sector_erase"};
  return std::string(busy_case.model) + "_" + WORK_NAMES[static_cast<int>(busy_case.work)];
}

// The address latches and bus_address at a 19-bit address, for a read.
void data_address(ProgrammerBus& bus, uint32_t address) {
  bus.bus_address.set(address);
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
}

// One data cycle at a 19-bit address; the board time the chip took it.
uint64_t timed_data_cycle(SimulatedRig& rig, uint32_t address, uint8_t data) {
  data_cycle_at(rig.bus(), address, data);
  return rig.board.now_us() - 1;  // the strobe ended on the last access but one
}

class BusyAnswers : public ::testing::TestWithParam<BusyCase> {
 protected:
  void SetUp() override {
    rig.select(GetParam().row);
    variant = *sim::find_jedec_variant(GetParam().model);
  }
  void insert(bool never_ready) {
    sim::JedecFlash& chip = rig.insert(std::make_unique<sim::JedecFlash>(variant));
    sim::ChipFaults faults;
    faults.never_ready = never_ready;
    chip.set_faults(faults);
    chip.memory("main")->assign(variant.size, 0x00);
  }
  ProgrammerBus& bus() { return rig.context->bus; }

  // Starts the work at the polled address (a page: past its byte-load window);
  // returns when the chip will be done.
  uint64_t start() {
    switch (GetParam().work) {
      case Work::page_write: {
        send_sequence(bus(), SEQ_SDP_OFF);
        for (uint32_t i = 0; i + 1 < variant.page_size; ++i)
          timed_data_cycle(rig, polled + i, 0xA5);
        const uint64_t loaded = timed_data_cycle(rig, polled + variant.page_size - 1, LAST_BYTE);
        polled += variant.page_size - 1;
        // A read inside the byte-load window is a violation of its own.
        advance_to(loaded + variant.byte_load_limit_us + 1);
        return loaded + variant.byte_load_limit_us + variant.write_time_us;
      }
      case Work::chip_erase:
        send_sequence(bus(), SEQ_CHIP_ERASE);
        return rig.board.now_us() - 1 + variant.chip_erase_time_us;
      case Work::sector_erase:
        send_sequence(bus(), SEQ_BLOCK_ERASE);
        return timed_data_cycle(rig, polled, BLOCK_ERASE_COMMAND) + variant.sector_erase_time_us;
    }
    return 0;
  }

  // Two reads in a row at the polled address.
  std::pair<uint8_t, uint8_t> two_reads() {
    bus().bus_address.set(polled);
    bus().latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(polled));
    bus().latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(polled >> 8));
    const uint8_t first = bus().bus_read_cycle();
    return {first, bus().bus_read_cycle()};
  }
  void advance_to(uint64_t time_us) { rig.board.advance_us(time_us - rig.board.now_us()); }

  void expect_busy(const char* when) {
    const auto [first, second] = two_reads();
    const uint8_t written_bit7 = GetParam().work == Work::page_write ? (LAST_BYTE & 0x80) : 0x80;
    EXPECT_EQ(first & 0x80, ~written_bit7 & 0x80) << when;
    EXPECT_NE(first & 0x40, second & 0x40) << when;
  }
  uint8_t done_value() const { return GetParam().work == Work::page_write ? LAST_BYTE : 0xFF; }

  static constexpr uint8_t LAST_BYTE = 0x5A;
  SimulatedRig rig;
  sim::JedecVariant variant{};
  uint32_t polled = 0x4100;  // a page start inside an AT49F002 sector, below every size
};

TEST_P(BusyAnswers, BusyForTheBusyTimeThenTheCells) {
  insert(false);
  const uint64_t done = start();
  expect_busy("right after the start");
  advance_to(done - 30);  // two reads take 24 µs
  expect_busy("just before the end");
  advance_to(done);
  const auto [first, second] = two_reads();
  EXPECT_EQ(first, done_value());
  EXPECT_EQ(second, done_value());
  EXPECT_THAT(rig.board.violations(), IsEmpty());
}

TEST_P(BusyAnswers, ANeverReadyChipStaysBusy) {
  insert(true);
  const uint64_t done = start();
  advance_to(done + 10 * (done - rig.board.now_us()));
  expect_busy("ten busy times later");
}

// The AT49F512 has no sector erase.
INSTANTIATE_TEST_SUITE_P(Chips, BusyAnswers,
                         ::testing::Values(BusyCase{u"AT29C010A", "AT29C010A", Work::page_write},
                                           BusyCase{u"AT29C040A", "AT29C040A", Work::page_write},
                                           BusyCase{u"W29EE512", "W29EE512", Work::page_write},
                                           BusyCase{u"W29EE512", "W29EE512", Work::chip_erase},
                                           BusyCase{u"AT49F512", "AT49F512", Work::chip_erase},
                                           BusyCase{u"AT49F002", "AT49F002", Work::chip_erase},
                                           BusyCase{u"AT49F002", "AT49F002", Work::sector_erase}),
                         [](const auto& row_info) { return case_name(row_info.param); });

// The datasheets say little about a read between two bytes of a page load,
// and chips disagree on it: the model records it as a violation, so that no
// code comes to rely on what it answers.
TEST(ByteLoadWindow, AReadInsideTheWindowIsAViolation) {
  for (const char* model : {"AT29C010A", "AT29C040A", "W29EE512"}) {
    SimulatedRig rig;
    rig.select(u"AT29C010A");
    rig.insert(model);
    ProgrammerBus& bus = rig.context->bus;
    timed_data_cycle(rig, 0x200, 0x11);
    bus.bus_address.set(0x200);
    bus.bus_read_cycle();
    EXPECT_THAT(rig.board.violations(),
                ElementsAre(HasSubstr("read at 00200 inside the byte-load window of the page at "
                                      "00200")))
        << model;
  }
}

// DQ7 is the complement of the bit being written only at the byte the
// datasheets name: the last byte loaded of a page, the byte being
// programmed. Elsewhere a DATA poll would read the chip as done.
TEST(DataPolling, OnlyTheWrittenByteAnswersTheComplement) {
  SimulatedRig page_rig;
  page_rig.select(u"AT29C010A");
  page_rig.insert("AT29C010A");
  ProgrammerBus& page_bus = page_rig.context->bus;
  send_sequence(page_bus, SEQ_SDP_OFF);
  timed_data_cycle(page_rig, 0x200, 0x80);
  timed_data_cycle(page_rig, 0x201, 0x00);
  page_rig.board.advance_us(1'000);
  const auto read_at = [](ProgrammerBus& bus, uint32_t address) {
    data_address(bus, address);
    return static_cast<uint8_t>(bus.bus_read_cycle() & 0x80);
  };
  EXPECT_EQ(read_at(page_bus, 0x201), 0x80);  // the last byte loaded: 00's bit 7 inverted
  EXPECT_EQ(read_at(page_bus, 0x200), 0x00);

  SimulatedRig byte_rig;
  byte_rig.select(u"AT49F512");
  sim::JedecVariant slow = *sim::find_jedec_variant("AT49F512");
  slow.write_time_us = 1'000;
  byte_rig.insert(std::make_unique<sim::JedecFlash>(slow));
  ProgrammerBus& byte_bus = byte_rig.context->bus;
  send_sequence(byte_bus, SEQ_PROGRAM);
  timed_data_cycle(byte_rig, 0x1234, 0x00);
  EXPECT_EQ(read_at(byte_bus, 0x1234), 0x80);
  EXPECT_EQ(read_at(byte_bus, 0x1235), 0x00);
  EXPECT_THAT(byte_rig.board.violations(), IsEmpty());
  EXPECT_THAT(page_rig.board.violations(), IsEmpty());
}

}  // namespace
}  // namespace fp::test
