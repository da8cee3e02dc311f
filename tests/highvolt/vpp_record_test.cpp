// Every operation of the family ends with the programming voltage off, as
// the simulated board records it, and without a violation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/highvolt/highvolt_rigs.h"

namespace fp::test {
namespace {

struct Row {
  const char16_t* row;
  const char* model;
};

struct VppRecordTest : ::testing::TestWithParam<Row> {};

INSTANTIATE_TEST_SUITE_P(Rows, VppRecordTest,
                         ::testing::Values(Row{u"i28F001BX-T", "I28F001BX-T"},
                                           Row{u"i28F001BX-B", "I28F001BX-B"},
                                           Row{u"AM28F001", "AM28F001"}));

TEST_P(VppRecordTest, TheVoltageIsOffAfterEveryOperation) {
  SimulatedRig rig(GetParam().row, GetParam().model);
  ProgrammerContext& context = *rig.context;
  const ChipSlots& slots = rig.slots();
  accept_blocks(rig.view, {ctl::BLOCK_0, ctl::BLOCK_1, ctl::BLOCK_2, ctl::BLOCK_3});
  const std::vector<uint8_t> image(0x400, 0x3C);

  const auto expect_off = [&](const char* operation) {
    EXPECT_FALSE(rig.board.vpp_on()) << operation;
    EXPECT_FALSE(context.bus.bus_address.vpp_flag()) << operation;
  };
  slots.on_identify(context);
  expect_off("identify");
  EXPECT_EQ(slots.on_write(context, image.data(), 0xFE00, 0x400), 0u);
  expect_off("write");
  slots.on_blank_check(context);
  expect_off("blank check");
  slots.on_erase(context);
  expect_off("erase");

  EXPECT_GE(rig.board.vpp_switch_ons(), 2u);
  EXPECT_THAT(rig.board.violations(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace fp::test
