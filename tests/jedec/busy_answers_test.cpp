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

  // Starts the work at the polled address; returns when the chip will be done.
  uint64_t start() {
    switch (GetParam().work) {
      case Work::page_write: {
        send_sequence(bus(), SEQ_SDP_OFF);
        for (uint32_t i = 0; i + 1 < variant.page_size; ++i)
          timed_data_cycle(rig, polled + i, 0xA5);
        const uint64_t loaded = timed_data_cycle(rig, polled + variant.page_size - 1, LAST_BYTE);
        polled += variant.page_size - 1;
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

// Reads inside the byte-load window show the load as busy and neither end it
// nor stretch it: a byte loaded after them still joins the page, and the
// write starts the byte-load limit after that byte.
TEST(ByteLoadWindow, ReadsNeitherEndNorStretchTheLoad) {
  for (const char* model : {"AT29C010A", "AT29C040A", "W29EE512"}) {
    SimulatedRig rig;
    rig.select(u"AT29C010A");
    auto& chip = dynamic_cast<sim::JedecFlash&>(rig.insert(model));
    const sim::JedecVariant& variant = chip.variant();
    ProgrammerBus& bus = rig.context->bus;
    timed_data_cycle(rig, 0x200, 0x11);
    bus.bus_address.set(0x200);
    const uint8_t first = bus.bus_read_cycle();
    const uint8_t second = bus.bus_read_cycle();
    EXPECT_EQ(first & 0x80, 0x80) << model;  // the complement of 0x11's bit 7
    EXPECT_NE(first & 0x40, second & 0x40) << model;
    const uint64_t last = timed_data_cycle(rig, 0x201, 0x22);
    EXPECT_EQ(chip.operation(), sim::JedecFlash::Operation::page_load) << model;
    rig.board.advance_us(last + variant.byte_load_limit_us + variant.write_time_us - 1 -
                         rig.board.now_us());
    EXPECT_EQ(chip.operation(), sim::JedecFlash::Operation::page_write) << model;
    rig.board.advance_us(1);
    EXPECT_EQ(chip.operation(), sim::JedecFlash::Operation::idle) << model;
    EXPECT_EQ((*chip.memory("main"))[0x200], 0x11) << model;
    EXPECT_EQ((*chip.memory("main"))[0x201], 0x22) << model;
    EXPECT_THAT(rig.board.violations(), IsEmpty()) << model;
  }
}

}  // namespace
}  // namespace fp::test
