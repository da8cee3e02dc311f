// The simulated chips at the edges of what they hold: a page loaded again in
// part, and the sector erase at the first and last byte of each sector.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "chips/jedec/jedec_handlers.h"
#include "sim/jedec/jedec_flash.h"
#include "sim/jedec/jedec_variants.h"
#include "tests/jedec/jedec_cycles.h"
#include "tests/support/programmer_rigs.h"

namespace fp::test {
namespace {

using ::testing::IsEmpty;

// A page written whole, then loaded again with three bytes only: the page
// write takes the bytes of this load and FF for the rest, never what the
// load before left.
TEST(PageWriteModels, APartLoadAfterAFullPageLeavesTheBytesItDidNotSendAtFF) {
  for (const char* model : {"AT29C010A", "AT29C040A", "W29EE512"}) {
    SimulatedRig rig(u"AT29C010A", model);
    const uint32_t page = sim::find_jedec_variant(model)->page_size;
    const uint32_t base = 4 * page;
    ProgrammerBus& bus = rig.bus();
    send_sequence(bus, SEQ_SDP_OFF);
    for (uint32_t i = 0; i < page; ++i) data_cycle_at(bus, base + i, static_cast<uint8_t>(i));
    rig.clock.sleep_ms(20);
    send_sequence(bus, SEQ_SDP_OFF);
    data_cycle_at(bus, base + 1, 0xA1);
    data_cycle_at(bus, base + 2, 0xA2);
    data_cycle_at(bus, base + page - 1, 0xAF);
    rig.clock.sleep_ms(20);
    std::vector<uint8_t> wanted(page, 0xFF);
    wanted[1] = 0xA1;
    wanted[2] = 0xA2;
    wanted[page - 1] = 0xAF;
    const std::vector<uint8_t>& cells = rig.memory();
    EXPECT_EQ(std::vector<uint8_t>(cells.begin() + base, cells.begin() + base + page), wanted)
        << model;
    EXPECT_THAT(rig.board.violations(), IsEmpty()) << model;
  }
}

// Each sector erased by its first byte and by its last byte takes exactly
// that sector: the bytes on either side of its bounds stay programmed.
TEST(At49f002Model, SectorEraseAtEachSectorsFirstAndLastByte) {
  // The datasheet's bottom boot map: boot block, two parameter blocks, two main blocks.
  const sim::SectorRange sectors[] = {{0x00000, 0x4000},
                                      {0x04000, 0x2000},
                                      {0x06000, 0x2000},
                                      {0x08000, 0x18000},
                                      {0x20000, 0x20000}};
  for (const sim::SectorRange& sector : sectors) {
    const uint32_t end = sector.start + sector.size;
    for (const uint32_t address : {sector.start, end - 1}) {
      SimulatedRig rig(u"AT49F002", "AT49F002");
      std::vector<uint8_t>& cells = rig.memory();
      std::fill(cells.begin(), cells.end(), 0x00);
      EXPECT_TRUE(at49f_block_erase(*rig.context, address));
      const auto first = cells.begin() + sector.start;
      const auto last = cells.begin() + end;
      EXPECT_TRUE(std::all_of(first, last, [](uint8_t cell) { return cell == 0xFF; }))
          << "erase at " << std::hex << address;
      EXPECT_TRUE(std::all_of(cells.begin(), first, [](uint8_t cell) { return cell == 0x00; }))
          << "erase at " << std::hex << address;
      EXPECT_TRUE(std::all_of(last, cells.end(), [](uint8_t cell) { return cell == 0x00; }))
          << "erase at " << std::hex << address;
      EXPECT_THAT(rig.board.violations(), IsEmpty());
    }
  }
}

}  // namespace
}  // namespace fp::test
