// The handlers against the simulated chip: what each operation leaves in
// the chip, what the operator is told, and no violation in normal use.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "chips/at89c/at89c_handlers.h"
#include "tests/support/fake_main_view.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

struct Row {
  const char16_t* name;
  const char* model;
  uint32_t size;
  const char16_t* signature;
};

const Row ROWS[] = {
    {u"AT89C2051/2052", "AT89C2051", 0x800, u"1E\r\n21\r\nFF"},
    {u"AT89C4051/4052", "AT89C4051", 0x1000, u"1E\r\n41\r\nFF"},
};

std::vector<uint8_t> random_image(size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::vector<uint8_t> image(size);
  for (uint8_t& byte : image) byte = static_cast<uint8_t>(generator());
  return image;
}

class At89cOperations : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    chip = &rig.insert(GetParam().model);
    rig.select(GetParam().name);
  }
  std::vector<uint8_t>& code() { return *chip->memory("main"); }
  ProgrammerContext& context() { return *rig.context; }

  SimulatedRig rig;
  sim::ChipModel* chip = nullptr;
};

TEST_P(At89cOperations, WholeChipWriteIsVerifiedAndReadBack) {
  const std::vector<uint8_t> image = random_image(GetParam().size, 1);
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

TEST_P(At89cOperations, SliceAtAnOffsetLeavesTheRestBlank) {
  const std::vector<uint8_t> slice = random_image(0x30, 2);
  const uint32_t offset = GetParam().size - 0x40;
  EXPECT_EQ(at89c_write(context(), slice.data(), offset, 0x30), 0u);
  EXPECT_EQ(at89c_verify(context(), slice.data(), offset, 0x30), 0u);

  for (uint32_t address = 0; address < GetParam().size; ++address) {
    const bool inside = address >= offset && address < offset + 0x30;
    ASSERT_EQ(code()[address], inside ? slice[address - offset] : 0xFF) << address;
  }
  std::vector<uint8_t> back(0x10);
  at89c_read(context(), back.data(), offset + 0x20, 0x10);
  EXPECT_EQ(back, std::vector<uint8_t>(slice.begin() + 0x20, slice.end()));
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST_P(At89cOperations, EraseLeavesABlankChip) {
  const std::vector<uint8_t> image = random_image(GetParam().size, 3);
  code() = image;
  at89c_blank_check(context());
  at89c_erase(context());
  at89c_blank_check(context());

  EXPECT_EQ(code(), std::vector<uint8_t>(GetParam().size, 0xFF));
  const std::u16string programmer = text::PROGRAMMER;
  EXPECT_EQ(rig.view.window.boxes,
            (std::vector<ShownBox>{{text::NOT_BLANK, programmer, mb::ICON_INFORMATION},
                                   {text::BLANK, programmer, mb::OK}}));
  EXPECT_TRUE(rig.board.violations().empty());
  EXPECT_FALSE(rig.board.vpp_on());
}

TEST_P(At89cOperations, BlankCheckFindsTheLastByteProgrammed) {
  code().back() = 0x7F;
  at89c_blank_check(context());
  ASSERT_EQ(rig.view.window.boxes.size(), 1u);
  EXPECT_EQ(rig.view.window.boxes[0].text, text::NOT_BLANK);
}

TEST_P(At89cOperations, IdentifyShowsTheChipSignature) {
  at89c_identify(context());
  ASSERT_EQ(rig.view.window.boxes.size(), 1u);
  EXPECT_EQ(rig.view.window.boxes[0],
            (ShownBox{GetParam().signature, std::u16string(text::CHIP_TYPE), mb::OK}));
  EXPECT_TRUE(rig.board.violations().empty());
}

TEST_P(At89cOperations, ByteThatWillNotProgramFailsTheVerify) {
  sim::ChipFaults faults;
  faults.stuck[0x21] = 0xFF;
  chip->set_faults(faults);
  const std::vector<uint8_t> image = random_image(0x40, 4);
  EXPECT_EQ(at89c_write(context(), image.data(), 0, 0x40), 0u);
  EXPECT_NE(at89c_verify(context(), image.data(), 0, 0x40), 0u);
  EXPECT_EQ(code()[0x22], image[0x22]);  // the write went on past it
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
