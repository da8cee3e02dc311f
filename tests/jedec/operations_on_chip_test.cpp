// The handlers against the simulated chips: whole-chip writes, the partial
// last page, the protection buttons and the erases, with no violation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chips/common/common_handlers.h"
#include "chips/jedec/jedec_handlers.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/random_bytes.h"

namespace fp::test {
namespace {

using ::testing::IsEmpty;

struct ChipOnBoard {
  ChipOnBoard(std::u16string_view row, std::string_view model) : rig(row, model) {}
  ProgrammerContext& context() { return *rig.context; }
  std::vector<uint8_t>& cells() { return rig.memory(); }
  uint32_t write(const std::vector<uint8_t>& image, uint32_t offset, uint32_t length) {
    return context().current_chip->slots.on_write(context(), image.data(), offset, length);
  }
  SimulatedRig rig;
};

struct WholeChip {
  const char16_t* row;
  const char* model;
  uint64_t least_us;  // the waits alone
  uint64_t most_us;
};

class WholeChipWrite : public ::testing::TestWithParam<WholeChip> {};

TEST_P(WholeChipWrite, LeavesTheImageOnTheChipWithoutViolations) {
  const WholeChip& chip = GetParam();
  ChipOnBoard board(chip.row, chip.model);
  const uint32_t size = board.context().chip_size;
  const auto image = random_bytes(size, size);
  const uint64_t start = board.rig.board.now_us();
  EXPECT_EQ(board.write(image, 0, size), 0u);
  const uint64_t written = board.rig.board.now_us();
  EXPECT_EQ(default_verify(board.context(), image.data(), 0, size), 0u);
  EXPECT_EQ(board.cells(), image);
  EXPECT_THAT(board.rig.board.violations(), IsEmpty());
  EXPECT_EQ(board.rig.recorder.priority_class(), PriorityClass::normal);
  EXPECT_GE(written - start, chip.least_us);
  EXPECT_LE(written - start, chip.most_us);
  RecordProperty("write_us", std::to_string(written - start));
  RecordProperty("verify_us", std::to_string(board.rig.board.now_us() - written));
}

// Page chips: 50 ms per page plus about 20 µs per data cycle; AT49F: about
// 100 µs per byte.
INSTANTIATE_TEST_SUITE_P(
    Rows, WholeChipWrite,
    ::testing::Values(WholeChip{u"AT29C010A", "AT29C010A", 1024 * 50000, 1024 * 53000},
                      WholeChip{u"AT29C040A", "AT29C040A", 2048 * 50000, 2048 * 56000},
                      WholeChip{u"W29EE512", "W29EE512", 512 * 50000, 512 * 53000},
                      WholeChip{u"AT49F512", "AT49F512", 0x10000 * 90, 0x10000 * 110},
                      WholeChip{u"AT49F002", "AT49F002", 0x40000 * 90, 0x40000 * 110}),
    [](const auto& row_info) { return std::string(row_info.param.model); });

TEST(ProtectionButtons, KeepTheFirstPage) {
  for (const auto& [row, model] :
       {std::pair{u"AT29C010A", "AT29C010A"}, std::pair{u"AT29C040A", "AT29C040A"},
        std::pair{u"W29EE512", "W29EE512"}, std::pair{u"AT49F002", "AT49F002"}}) {
    ChipOnBoard board(row, model);
    board.cells() = random_bytes(board.cells().size(), 11);
    const std::vector<uint8_t> before = board.cells();
    sdp_on(board.context());
    board.rig.clock.sleep_ms(10);
    EXPECT_EQ(board.cells(), before) << model;
    sdp_off(board.context());
    board.rig.clock.sleep_ms(10);
    EXPECT_EQ(board.cells(), before) << model;
    EXPECT_THAT(board.rig.board.violations(), IsEmpty());
  }
}

}  // namespace
}  // namespace fp::test
