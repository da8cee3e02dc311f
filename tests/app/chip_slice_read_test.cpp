// The command line reads the rows with an empty read slot with the read
// pattern held: the same bytes as the window's block read, no protocol
// violation, about half the port traffic.
#include <gtest/gtest.h>

#include "app/catalogue.h"
#include "app/chip_slice.h"
#include "bus/block_ops.h"
#include "platform/utf8.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/random_bytes.h"
#include "tests/support/row_params.h"

namespace fp {
namespace {

struct ReadOutcome {
  std::vector<uint8_t> bytes;
  uint64_t accesses;
  uint32_t address_after;
  uint8_t control_after;
};

class HeldReadOfARow {
 public:
  explicit HeldReadOfARow(const ChipDescriptor& row) : row_(row), rig_(row.name, row.facts.model) {
    rig_.memory() = test::random_bytes(rig_.memory().size(), row.size);
    contents_ = rig_.memory();
  }

  ReadOutcome window_read(uint32_t start, uint32_t count) {
    std::vector<uint8_t> bytes(count);
    return measure([&] {
      read_handler(row_)(*rig_.context, bytes.data(), start, count);
      return bytes;
    });
  }
  ReadOutcome command_line_read(uint32_t start, uint32_t count) {
    return measure([&] { return read_chip(*rig_.context, start, count).value(); });
  }
  ReadOutcome held_read(uint32_t start, uint32_t count) {
    std::vector<uint8_t> bytes(count);
    return measure([&] {
      bus_read_block_held(rig_.context->bus, bytes.data(), start, count);
      return bytes;
    });
  }
  [[nodiscard]] std::vector<uint8_t> contents(uint32_t start, uint32_t count) const {
    return {contents_.begin() + start, contents_.begin() + start + count};
  }
  [[nodiscard]] const std::vector<std::string>& violations() const {
    return rig_.board.violations();
  }

 private:
  template <typename Read>
  ReadOutcome measure(Read read) {
    const uint64_t before = rig_.board.port_accesses();
    std::vector<uint8_t> bytes = read();
    return {std::move(bytes), rig_.board.port_accesses() - before,
            rig_.context->bus.bus_address.address(), rig_.board.lines().control};
  }

  const ChipDescriptor& row_;
  test::SimulatedRig rig_;
  std::vector<uint8_t> contents_;
};

bool reads_by_blocks(const ChipDescriptor& row) {
  return row.slots.on_read == nullptr;
}

TEST(HeldRead, The32PinSocketsChipsAreTheBlockReadRows) {
  for (const ChipDescriptor& row : catalogue_rows()) {
    EXPECT_EQ(reads_by_blocks(row), row.facts.socket == SocketKind::dip32) << to_utf8(row.name);
  }
}

class BlockReadRow : public test::RowTest {};

TEST_P(BlockReadRow, HeldReadGivesTheWindowReadsBytesAtHalfTheTraffic) {
  const ChipDescriptor& row = this->row();
  HeldReadOfARow chip(row);
  const ReadOutcome window = chip.window_read(0, row.size);
  const ReadOutcome held = chip.command_line_read(0, row.size);
  EXPECT_EQ(window.bytes, chip.contents(0, row.size));
  EXPECT_EQ(held.bytes, window.bytes);
  EXPECT_EQ(held.address_after, window.address_after);
  EXPECT_EQ(held.control_after, window.control_after);
  // 16 accesses a byte against 8; both load A8-A15 every 256 bytes, the
  // held read the control latch once every 64 KiB begun and once to release.
  EXPECT_EQ(window.accesses, 8 + 16ULL * row.size + 4ULL * (row.size / 0x100));
  EXPECT_EQ(held.accesses, 8 + 8ULL * row.size + 4ULL * (row.size / 0x100) +
                               4ULL * ((row.size + 0xFFFF) / 0x10000) + 4);
  EXPECT_TRUE(chip.violations().empty()) << chip.violations().front();
}

INSTANTIATE_TEST_SUITE_P(Rows, BlockReadRow, ::testing::ValuesIn(test::rows_where(reads_by_blocks)),
                         test::row_param_label);

TEST(HeldRead, RangesAcrossA16AndOddEndsReadWhatTheChipHolds) {
  for (const char16_t* name : {u"AT29C040A", u"i28F001BX-B", u"AT49F002", u"AM28F001"}) {
    const ChipDescriptor& row = test::catalogue_row(name);
    HeldReadOfARow chip(row);
    for (const auto& [start, count] : {std::pair<uint32_t, uint32_t>{0xFFF3, 0x31},
                                       {0x1FFFF, 2},
                                       {0x10000, 1},
                                       {0x12345, 0x10000}}) {
      if (start + count > row.size) continue;
      const ReadOutcome window = chip.window_read(start, count);
      const ReadOutcome held = chip.held_read(start, count);
      EXPECT_EQ(held.bytes, chip.contents(start, count)) << std::hex << start;
      EXPECT_EQ(chip.command_line_read(start, count).bytes, held.bytes) << std::hex << start;
      EXPECT_EQ(held.address_after, window.address_after) << std::hex << start;
      EXPECT_EQ(held.control_after, window.control_after) << std::hex << start;
    }
    EXPECT_TRUE(chip.violations().empty()) << chip.violations().front();
  }
}

TEST(HeldRead, RowsWithTheirOwnReadKeepIt) {
  for (const char16_t* name : {u"AT89C4051/4052", u"ATTINY2313 - FLASH"}) {
    const ChipDescriptor& row = test::catalogue_row(name);
    HeldReadOfARow chip(row);
    const ReadOutcome window = chip.window_read(0, row.size);
    const ReadOutcome command_line = chip.command_line_read(0, row.size);
    EXPECT_EQ(command_line.bytes, window.bytes);
    EXPECT_EQ(command_line.accesses, window.accesses);
  }
}

}  // namespace
}  // namespace fp
