// --blocks as the block rows take it: block starts in any spelling, in any
// order, turned into the blocks of the row's map in map order.
#include "frontends/cli/block_list.h"

#include <gtest/gtest.h>

#include <array>

namespace fp::cli {
namespace {

constexpr std::array<BlockRange, 4> TOP_BOOT{{
    {0x00000, 0x1C000},
    {0x1C000, 0x1000},
    {0x1D000, 0x1000},
    {0x1E000, 0x2000},
}};

TEST(BlockList, NamedBlocksComeInMapOrderEachOnce) {
  const BlockList list = parse_block_list("1e000h,0x1c000,1E000,0", TOP_BOOT);
  EXPECT_FALSE(list.unknown);
  EXPECT_EQ(list.blocks, (std::vector<BlockRange>{TOP_BOOT[0], TOP_BOOT[1], TOP_BOOT[3]}));
  EXPECT_EQ(parse_block_list("all", TOP_BOOT).blocks,
            std::vector<BlockRange>(TOP_BOOT.begin(), TOP_BOOT.end()));
  // A comma at the end closes the list.
  EXPECT_EQ(parse_block_list("1D000,", TOP_BOOT).blocks, std::vector<BlockRange>{TOP_BOOT[2]});
}

TEST(BlockList, AnItemThatStartsNoBlockNamesItselfAndChoosesNothing) {
  for (const auto& [text, item] : {std::pair{"1C000,2000", "2000"},  // inside the main block
                                   std::pair{"1C000,,1D000", ""}, std::pair{",1C000", ""},
                                   std::pair{"1C000;1D000", "1C000;1D000"}, std::pair{"ALL", "ALL"},
                                   std::pair{"1C001", "1C001"}}) {
    const BlockList list = parse_block_list(text, TOP_BOOT);
    ASSERT_TRUE(list.unknown) << text;
    EXPECT_EQ(*list.unknown, item) << text;
    EXPECT_TRUE(list.blocks.empty()) << text;
  }
}

TEST(BlockList, StartsAreListedAsTheWindowLabelsThem) {
  EXPECT_EQ(block_starts(TOP_BOOT), " 00000h 1C000h 1D000h 1E000h");
}

}  // namespace
}  // namespace fp::cli
