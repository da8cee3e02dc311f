// The handlers against the simulated chip: whole-chip timing and the state
// the chip is left in. The operator's view of each operation is in the
// scenario scripts.
#include <gtest/gtest.h>

#include <cstdio>

#include "chips/at89c/at89c_handlers.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/random_bytes.h"

namespace fp::test {
namespace {

struct Row {
  const char16_t* name;
  const char* model;
  uint32_t size;
};

const Row ROWS[] = {
    {u"AT89C2051/2052", "AT89C2051", 0x800},
    {u"AT89C4051/4052", "AT89C4051", 0x1000},
};

class At89cOperations : public ::testing::TestWithParam<Row> {
 protected:
  std::vector<uint8_t>& code() { return rig.memory(); }
  ProgrammerContext& context() { return *rig.context; }

  SimulatedRig rig{GetParam().name, GetParam().model};
};

TEST_P(At89cOperations, WholeChipWriteIsVerifiedAndReadBack) {
  const std::vector<uint8_t> image = random_bytes(GetParam().size, 1);
  const uint64_t start_us = rig.board.now_us();
  EXPECT_EQ(at89c_write(context(), image.data(), 0, GetParam().size), 0u);
  const uint64_t written_us = rig.board.now_us();
  EXPECT_EQ(at89c_verify(context(), image.data(), 0, GetParam().size), 0u);
  const uint64_t verified_us = rig.board.now_us();

  EXPECT_EQ(code(), image);
  std::vector<uint8_t> back(GetParam().size);
  at89c_read(context(), back.data(), 0, GetParam().size);
  EXPECT_EQ(back, image);
  EXPECT_TRUE(rig.board.violations().empty());
  EXPECT_FALSE(rig.board.vpp_on());
  EXPECT_EQ(rig.board.vpp_switch_ons(), 1u);

  // 3 ms of waiting per byte is the floor; the port accesses add little.
  EXPECT_GE(written_us - start_us, uint64_t{GetParam().size} * 3000);
  EXPECT_LT(written_us - start_us, uint64_t{GetParam().size} * 3100);
  std::printf("virtual time, %u bytes: write %.3f s, verify %.3f s\n", GetParam().size,
              static_cast<double>(written_us - start_us) / 1e6,
              static_cast<double>(verified_us - written_us) / 1e6);
}

TEST_P(At89cOperations, ProgrammedBitsDoNotComeBackWithoutAnErase) {
  const std::vector<uint8_t> zeros(0x10, 0x00);
  const std::vector<uint8_t> ones(0x10, 0xA5);
  at89c_write(context(), zeros.data(), 0, 0x10);
  at89c_write(context(), ones.data(), 0, 0x10);
  EXPECT_NE(at89c_verify(context(), ones.data(), 0, 0x10), 0u);
  at89c_erase(context());
  at89c_write(context(), ones.data(), 0, 0x10);
  EXPECT_EQ(at89c_verify(context(), ones.data(), 0, 0x10), 0u);
  EXPECT_TRUE(rig.board.violations().empty());
}

INSTANTIATE_TEST_SUITE_P(BothRows, At89cOperations, ::testing::ValuesIn(ROWS),
                         [](const auto& row) { return std::string(row.param.model); });

}  // namespace
}  // namespace fp::test
