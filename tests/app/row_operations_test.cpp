// Every row's ID, read its own way, and its planned write, from its facts,
// agree with the row's own simulated chip: a row whose facts are wrong
// fails here, not in an operator's socket.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/chip_identity.h"
#include "app/write_planner.h"
#include "platform/utf8.h"
#include "tests/app/write_failures.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/row_params.h"

namespace fp {
namespace {

struct RowOnBoard : test::WriteFailures {
  explicit RowOnBoard(const ChipDescriptor& row) : rig(row.name, row.facts.model) {}

  // The memory of the model that the row reads and writes.
  std::vector<uint8_t>& cells(const ChipDescriptor& row) {
    for (const char* name : {"main", "eeprom"}) {
      std::vector<uint8_t>* memory = rig.board.chip()->memory(name);
      if (memory != nullptr && memory->size() == row.size) return *memory;
    }
    throw std::logic_error("no memory of the row's size");
  }

  test::SimulatedRig rig;
};

TEST(RowOperations, EveryRowExpectsTheIdOfItsOwnChip) {
  for (const ChipDescriptor& row : catalogue_rows()) {
    SCOPED_TRACE(to_utf8(row.name));
    RowOnBoard board(row);
    const auto expected = expected_identity(row);
    ASSERT_FALSE(expected.empty()) << "no ID to check before a write";
    EXPECT_EQ(read_identity(*board.rig.context, row),
              std::vector<uint8_t>(expected.begin(), expected.end()));
  }
}

class PlannedRowWrite : public test::RowTest {};

TEST_P(PlannedRowWrite, LandsTheSliceAndKeepsTheRest) {
  const ChipDescriptor& row = this->row();
  RowOnBoard board(row);
  std::vector<uint8_t>& cells = board.cells(row);
  for (size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<uint8_t>(i * 7);
  const std::vector<uint8_t> before = cells;

  const uint32_t start = 0x40;
  const std::vector<uint8_t> bytes{0x5A, 0xA5, 0xFF, 0x00};
  ImageSlice slice{start, bytes, std::vector<bool>(bytes.size(), true)};
  WritePlanner planner(*board.rig.context, board.sink(), [](bool) {});
  ASSERT_TRUE(planner.write(slice)) << board.text;

  std::vector<uint8_t> want = before;
  std::copy(bytes.begin(), bytes.end(), want.begin() + start);
  EXPECT_TRUE(cells == want) << "the chip does not hold the slice and the rest as it was";
}

INSTANTIATE_TEST_SUITE_P(Rows, PlannedRowWrite, ::testing::ValuesIn(test::rows_where()),
                         test::row_param_label);

}  // namespace
}  // namespace fp
