// Simulated chips kept in a file: memories and lasting state come back as
// they were, and a damaged file is refused without touching anything.
#include "sim/chip_store.h"

#include <gtest/gtest.h>

#include "sim/following_socket.h"
#include "sim/model_factory.h"

namespace fp::sim {
namespace {

class ChipStore : public testing::Test {
 protected:
  std::vector<std::unique_ptr<ChipModel>> round_trip(const std::vector<ChipModel*>& chips) {
    return parse_chip_store(chip_store_text(chips), "board.sim");
  }
};

TEST_F(ChipStore, AnEmptyFileIsAnEmptyDrawer) {
  EXPECT_TRUE(parse_chip_store("", "board.sim").empty());
  EXPECT_TRUE(round_trip({}).empty());
}

TEST_F(ChipStore, MemoriesAndFusesComeBack) {
  auto chip = make_chip_model("ATTINY2313");
  ASSERT_NE(chip, nullptr);
  (*chip->memory("main"))[0x123] = 0x45;
  (*chip->memory("eeprom"))[0x7F] = 0x00;
  ASSERT_TRUE(chip->restore_lasting_state({{"fuses", {0xE4, 0xDF, 0xFF, 0xFC}}}));
  auto loaded = round_trip({chip.get()});
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0]->model_name(), "ATTINY2313");
  EXPECT_EQ(*loaded[0]->memory("main"), *chip->memory("main"));
  EXPECT_EQ(*loaded[0]->memory("eeprom"), *chip->memory("eeprom"));
  ASSERT_TRUE(loaded[0]->fuses());
  EXPECT_EQ(loaded[0]->fuses()->low, 0xE4);
  EXPECT_EQ(loaded[0]->fuses()->lock, 0xFC);
}

TEST_F(ChipStore, DataProtectionComesBack) {
  auto chip = make_chip_model("W29EE512");
  ASSERT_NE(chip, nullptr);
  ASSERT_TRUE(chip->restore_lasting_state({{"protection", {1}}}));
  auto loaded = round_trip({chip.get()});
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0]->lasting_state(), chip->lasting_state());
  EXPECT_FALSE(loaded[0]->restore_lasting_state({{"protection", {2}}}));
}

TEST_F(ChipStore, TheSocketTakesAStockedChipWhenItsRowIsSelected) {
  SimulatedBoard board;
  FollowingSocket socket(board);
  auto chip = make_chip_model("ATTINY2313");
  (*chip->memory("main"))[0] = 0x12;
  socket.stock(std::move(chip));
  socket.follow("ATTINY2313");
  ASSERT_NE(board.chip(), nullptr);
  EXPECT_EQ((*board.chip()->memory("main"))[0], 0x12);
  EXPECT_EQ(socket.chips().size(), 1u);
}

TEST_F(ChipStore, TheSocketLineComesBackWithItsFaults) {
  auto chip = make_chip_model("AT29C010A");
  ASSERT_NE(chip, nullptr);
  for (const StoredSocket& socket :
       {StoredSocket{"AT29C010A", "fault=stuck:100:00"}, StoredSocket{"", ""}}) {
    const BoardStore loaded =
        parse_board_store(board_store_text({chip.get()}, socket), "board.sim");
    ASSERT_TRUE(loaded.socket);
    EXPECT_EQ(*loaded.socket, socket);
    EXPECT_EQ(loaded.chips.size(), 1u);
  }
  // A file without the line leaves the socket to the selected row.
  EXPECT_FALSE(parse_board_store(chip_store_text({chip.get()}), "board.sim").socket);
}

TEST_F(ChipStore, DamagedFilesAreRefusedWithTheLine) {
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"hello\n", ":1: not a file of simulated chips"},
      {"simulated chips 1\nchip NOSUCH\nend\n", ":2: unknown chip model NOSUCH"},
      {"simulated chips 1\nchip ATTINY2313\nmemory main 10\n", "holds 2048 bytes, not 16"},
      {"simulated chips 1\nchip ATTINY2313\nmemory main 800\nFFZZ\n", ":4: not a line"},
      {"simulated chips 1\nchip ATTINY2313\nstate fuses 0102\nend\n", "does not fit"},
      {"simulated chips 1\nchip ATTINY2313\n", "the last chip has no end"},
      {"simulated chips 1\nsocket NOSUCH\n", ":2: unknown chip model NOSUCH"},
      {"simulated chips 1\nsocket empty\nsocket empty\n", ":3: socket given twice"},
      {"simulated chips 1\nsocket\n", "socket needs a chip model"},
  };
  for (const auto& c : cases) {
    try {
      parse_chip_store(c.text, "board.sim");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const StoreError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("board.sim:", 0), 0u) << error.what();
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace fp::sim
