// The handlers asking the chip instead of waiting fixed times: a chip that is
// done on time, one slower than its datasheet allows for, and one that never
// reports ready, for the page writes and the erases of each family.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bus/number_text.h"
#include "chips/jedec/jedec_commands.h"
#include "chips/jedec/jedec_handlers.h"
#include "chips/jedec/page_write.h"
#include "sim/jedec/jedec_flash.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/random_bytes.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr uint64_t MS = 1000;
// Datasheet maxima.
constexpr uint64_t PAGE_WRITE_MAX_US = 10 * MS;
constexpr uint64_t W29EE512_ERASE_MAX_US = 50 * MS;
constexpr uint64_t AT49F_ERASE_MAX_US = 10'000 * MS;

// A chip of the row's model, with its busy times changed as a test needs.
struct PolledChip {
  PolledChip(std::u16string_view row, std::string_view model, ChipWaits waits = ChipWaits::poll) {
    rig.select(row);
    variant = *sim::find_jedec_variant(model);
    rig.context->chip_waits = waits;
  }
  sim::JedecFlash& insert(bool never_ready = false) {
    sim::JedecFlash& chip = rig.insert(std::make_unique<sim::JedecFlash>(variant));
    sim::ChipFaults faults;
    faults.never_ready = never_ready;
    chip.set_faults(faults);
    return chip;
  }
  ProgrammerContext& context() { return *rig.context; }
  std::vector<uint8_t>& cells() { return rig.memory(); }
  // Board time of a call.
  template <typename Call>
  uint64_t timed(Call&& call) {
    const uint64_t start = rig.board.now_us();
    call();
    return rig.board.now_us() - start;
  }

  SimulatedRig rig;
  sim::JedecVariant variant{};
};

struct PageRow {
  const char16_t* row;
  const char* model;
  uint32_t page_size;
  int window_command_cycles;  // before each page
};

class PageWritePoll : public ::testing::TestWithParam<PageRow> {
 protected:
  static constexpr uint32_t PAGES = 4;
  [[nodiscard]] std::vector<uint8_t> pages() const {
    const uint32_t size = PAGES * GetParam().page_size;
    return random_bytes(size, size);
  }
  // Board time of writing the pages, and the handler's result.
  std::pair<uint64_t, uint32_t> write(PolledChip& chip, const std::vector<uint8_t>& image) {
    uint32_t result = 0;
    const uint64_t took = chip.timed([&] {
      result = chip.context().current_chip->slots.on_write(chip.context(), image.data(), 0,
                                                           static_cast<uint32_t>(image.size()));
    });
    return {took, result};
  }
  // The time the page loads take alone: the write with fixed waits, less
  // them, with the protected page-load command in place of the window's and
  // the shorter strobes.
  uint64_t load_time(const std::vector<uint8_t>& image) {
    PolledChip fixed(GetParam().row, GetParam().model, ChipWaits::fixed);
    fixed.insert();
    constexpr int64_t COMMAND_CYCLE_US = 24;  // six latch loads
    const int64_t command_cycles =
        static_cast<int64_t>(SEQ_PROGRAM.size()) - GetParam().window_command_cycles;
    const int64_t fixed_loads = static_cast<int64_t>(write(fixed, image).first - PAGES * 50 * MS);
    // One control-latch load less a byte, two more a page (into and out of the write setup).
    const int64_t strobe_saving = 4 * static_cast<int64_t>(GetParam().page_size) - 8;
    return static_cast<uint64_t>(fixed_loads +
                                 PAGES * (command_cycles * COMMAND_CYCLE_US - strobe_saving));
  }
};

TEST_P(PageWritePoll, EachPageEndsWhenTheChipIsDone) {
  const auto image = pages();
  PolledChip chip(GetParam().row, GetParam().model);
  chip.insert();
  const auto [took, result] = write(chip, image);
  EXPECT_EQ(result, 0u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), chip.cells().begin()));
  EXPECT_THAT(chip.rig.board.violations(), IsEmpty());
  // Per page: the byte-load window, the write time, and at most one poll
  // late; the load's closing latch loads count on either side.
  const uint64_t busy = chip.variant.byte_load_limit_us + chip.variant.write_time_us;
  const uint64_t waited = took - load_time(image);
  EXPECT_GE(waited, PAGES * (busy - 8));
  EXPECT_LE(waited, PAGES * (busy + 50));
}

TEST_P(PageWritePoll, ASlowChipIsWaitedForUpToTwiceTheDatasheetMaximum) {
  const auto image = pages();
  PolledChip chip(GetParam().row, GetParam().model);
  chip.variant.write_time_us = 2 * PAGE_WRITE_MAX_US;
  chip.insert();
  EXPECT_EQ(write(chip, image).second, 0u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), chip.cells().begin()));
  EXPECT_THAT(chip.rig.board.violations(), IsEmpty());
}

TEST_P(PageWritePoll, ANeverReadyChipStopsTheWriteAfterItsFirstPage) {
  const auto image = pages();
  PolledChip chip(GetParam().row, GetParam().model);
  chip.insert(true);
  const auto [took, result] = write(chip, image);
  EXPECT_EQ(result, WRITE_CHIP_NOT_READY);
  // No cycle of a second page met the endless write.
  EXPECT_THAT(chip.rig.board.violations(), IsEmpty());
  const uint64_t waited = took - load_time(image) / PAGES;
  EXPECT_GE(waited, 2 * PAGE_WRITE_MAX_US);
  EXPECT_LE(waited, 4 * PAGE_WRITE_MAX_US);
}

// A load preempted in the middle: the clock the loads are timed by stands
// for the process, and once (after the 40th byte) it is held up past the
// byte-load window, so the chip cuts the page in two.
TEST_P(PageWritePoll, ALoadThatRanPastTheWindowIsLoadedAgain) {
  const auto image = pages();
  PolledChip chip(GetParam().row, GetParam().model);
  chip.insert();
  sim::SimulatedBoard& board = chip.rig.board;
  uint32_t calls = 0;
  chip.context().page_loads.now_us = [&board, &calls] {
    if (++calls == 40) board.advance_us(1'000);
    return board.now_us();
  };
  EXPECT_EQ(write(chip, image).second, 0u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), chip.cells().begin()));
  EXPECT_EQ(chip.context().page_loads.reloads, 1u);
  // The rest of the cut load met the write of its first part.
  EXPECT_THAT(chip.rig.board.violations(), Not(IsEmpty()));
  EXPECT_THAT(chip.rig.board.violations(), Each(HasSubstr("during the page write")));
}

TEST_P(PageWritePoll, ALoadLateOnEveryTryStopsTheWriteAtItsPage) {
  const auto image = pages();
  PolledChip chip(GetParam().row, GetParam().model);
  chip.insert();
  sim::SimulatedBoard& board = chip.rig.board;
  const uint64_t late = chip.variant.byte_load_limit_us + 1;
  chip.context().page_loads.now_us = [&board, late] {
    board.advance_us(late);
    return board.now_us();
  };
  const uint32_t second_page = GetParam().page_size;
  EXPECT_EQ(chip.context().current_chip->slots.on_write(
                chip.context(), image.data() + second_page, second_page,
                static_cast<uint32_t>(image.size()) - second_page),
            WRITE_PAGE_LOAD_LATE);
  EXPECT_EQ(chip.context().page_loads.late_page, second_page);
  EXPECT_EQ(chip.context().page_loads.reloads, PAGE_LOAD_TRIES - 1);
  // Nothing reached the page after it.
  const auto after = chip.cells().begin() + 2 * second_page;
  EXPECT_TRUE(std::all_of(after, after + second_page, [](uint8_t cell) { return cell == 0xFF; }));
}

// The command line's pages go in behind the protected load, whatever the
// chip's protection was, and leave it on; the window's leave the AT29C off.
TEST_P(PageWritePoll, TheChipEndsTheWriteProtected) {
  const auto image = pages();
  for (const bool protected_before : {false, true}) {
    PolledChip chip(GetParam().row, GetParam().model);
    sim::JedecFlash& flash = chip.insert();
    flash.restore_lasting_state({{"protection", {protected_before ? uint8_t{1} : uint8_t{0}}}});
    EXPECT_EQ(write(chip, image).second, 0u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), chip.cells().begin())) << protected_before;
    EXPECT_TRUE(flash.software_protection()) << protected_before;
    EXPECT_THAT(chip.rig.board.violations(), IsEmpty());
  }
  if (std::string_view(GetParam().model) == "W29EE512") return;
  PolledChip fixed(GetParam().row, GetParam().model, ChipWaits::fixed);
  sim::JedecFlash& flash = fixed.insert();
  flash.restore_lasting_state({{"protection", {1}}});
  write(fixed, image);
  EXPECT_FALSE(flash.software_protection());
}

INSTANTIATE_TEST_SUITE_P(Rows, PageWritePoll,
                         ::testing::Values(PageRow{u"AT29C010A", "AT29C010A", 0x80, 6},
                                           PageRow{u"AT29C040A", "AT29C040A", 0x100, 6},
                                           PageRow{u"W29EE512", "W29EE512", 0x80, 0}),
                         [](const auto& row_info) { return std::string(row_info.param.model); });

// The page after the poll goes on from where the write loop stood, across
// the 64 KiB boundary that changes A16-A18.
TEST(PageWritePollAddress, ThePollLeavesTheWriteLoopsAddressAlone) {
  PolledChip chip(u"AT29C040A", "AT29C040A");
  chip.insert();
  const auto image = random_bytes(0x200, 0x200);
  EXPECT_EQ(at29c040a_write(chip.context(), image.data(), 0xFF00, 0x200), 0u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), chip.cells().begin() + 0xFF00));
  EXPECT_EQ(chip.context().bus.bus_address.address(), 0x10100u);
  EXPECT_THAT(chip.rig.board.violations(), IsEmpty());
}

struct ByteRow {
  const char16_t* row;
  const char* model;
};

// Byte programs slower than the window's fixed gap of a few port accesses.
class At49fByteProgramPoll : public ::testing::TestWithParam<ByteRow> {
 protected:
  static constexpr uint32_t START = 0x1F80;
  static constexpr uint32_t COUNT = 0x100;
  uint32_t write(PolledChip& chip, const std::vector<uint8_t>& image) {
    return at49f_write(chip.context(), image.data(), START, COUNT);
  }
  bool holds(PolledChip& chip, const std::vector<uint8_t>& image) {
    return std::equal(image.begin(), image.end(), chip.cells().begin() + START);
  }
};

TEST_P(At49fByteProgramPoll, SlowBytesAreWaitedFor) {
  const auto image = random_bytes(COUNT, 7);
  for (const uint64_t byte_us : {40ull, 2'000ull, 8'000ull}) {
    PolledChip chip(GetParam().row, GetParam().model);
    chip.variant.write_time_us = byte_us;
    chip.insert();
    EXPECT_EQ(write(chip, image), 0u) << byte_us;
    EXPECT_TRUE(holds(chip, image)) << byte_us;
    EXPECT_THAT(chip.rig.board.violations(), IsEmpty()) << byte_us;
  }
  // The window's traffic, which only waits a few port accesses, meets the
  // 40 µs byte still busy.
  PolledChip fixed(GetParam().row, GetParam().model, ChipWaits::fixed);
  fixed.variant.write_time_us = 40;
  fixed.insert();
  write(fixed, image);
  EXPECT_FALSE(holds(fixed, image));
  EXPECT_THAT(fixed.rig.board.violations(), Contains(HasSubstr("during the byte program")));
}

TEST_P(At49fByteProgramPoll, ANeverReadyByteIsTriedThenStopsTheWrite) {
  const auto image = random_bytes(COUNT, 8);
  PolledChip chip(GetParam().row, GetParam().model);
  chip.insert(true);
  const uint64_t took = chip.timed([&] { EXPECT_EQ(write(chip, image), WRITE_CHIP_NOT_READY); });
  // Each further try (three command cycles and the byte) meets the busy
  // chip; nothing of a second byte is sent.
  const auto& violations = chip.rig.board.violations();
  EXPECT_EQ(violations.size(), 4 * (AT49F_BYTE_PROGRAM_TRIES - 1));
  EXPECT_THAT(violations, Each(HasSubstr("during the byte program")));
  EXPECT_THAT(violations, Not(Contains(HasSubstr("at 01F81"))));
  const uint64_t bound_us = AT49F_BYTE_PROGRAM_POLL.slept_ms() * MS;
  EXPECT_GE(took, AT49F_BYTE_PROGRAM_TRIES * bound_us);
  EXPECT_LE(took, AT49F_BYTE_PROGRAM_TRIES * (bound_us + 2 * MS));
  EXPECT_EQ(chip.context().bus.bus_address.address(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, At49fByteProgramPoll,
                         ::testing::Values(ByteRow{u"AT49F512", "AT49F512"},
                                           ByteRow{u"AT49F002", "AT49F002"}),
                         [](const auto& row_info) { return std::string(row_info.param.model); });

class W29ee512ErasePoll : public ::testing::Test {
 protected:
  // Board time of the erase, answered Yes.
  uint64_t erase() {
    chip.rig.view.window.answers = {answer::YES};
    return chip.timed([&] { w29ee512_erase(chip.context()); });
  }
  PolledChip chip{u"W29EE512", "W29EE512"};
};

TEST_F(W29ee512ErasePoll, EndsWhenTheChipIsDone) {
  chip.insert();
  chip.cells().assign(chip.cells().size(), 0x00);
  const uint64_t took = erase();
  EXPECT_GE(took, chip.variant.chip_erase_time_us);
  EXPECT_LE(took, chip.variant.chip_erase_time_us + 200);
  EXPECT_EQ(chip.cells(), std::vector<uint8_t>(0x10000, 0xFF));
  EXPECT_EQ(chip.rig.view.status(), text::ERASE_DONE);
}

TEST_F(W29ee512ErasePoll, ASlowChipIsWaitedFor) {
  chip.variant.chip_erase_time_us = 2 * W29EE512_ERASE_MAX_US;
  chip.insert();
  chip.cells().assign(chip.cells().size(), 0x00);
  erase();
  EXPECT_EQ(chip.cells(), std::vector<uint8_t>(0x10000, 0xFF));
  EXPECT_EQ(chip.rig.view.status(), text::ERASE_DONE);
}

TEST_F(W29ee512ErasePoll, ANeverReadyChipIsAnEraseError) {
  chip.insert(true);
  const uint64_t took = erase();
  EXPECT_GE(took, 2 * W29EE512_ERASE_MAX_US);
  EXPECT_LE(took, 4 * W29EE512_ERASE_MAX_US);
  EXPECT_THAT(chip.rig.view.window.boxes,
              ElementsAre(ShownBox{text::ERASE_QUESTION, text::PROGRAMMER,
                                   mb::YESNO | mb::ICON_INFORMATION},
                          ShownBox{text::ERASE_ERROR, std::nullopt, mb::ICON_ERROR}));
  EXPECT_EQ(chip.rig.view.status(), u"");
}

struct EraseCase {
  const char16_t* row;
  const char* model;
  std::optional<uint32_t> block;  // nothing: the whole chip
};

class At49fErasePoll : public ::testing::TestWithParam<EraseCase> {
 protected:
  uint64_t& busy_time(PolledChip& chip) {
    return GetParam().block ? chip.variant.sector_erase_time_us : chip.variant.chip_erase_time_us;
  }
  // The erase handler with the dialog answered; returns its board time.
  uint64_t erase(PolledChip& chip) {
    const std::optional<uint32_t> block = GetParam().block;
    chip.rig.view.dialog_player = [block](int, DialogLogic& logic, FakeDialogView& dialog) {
      if (block) {
        dialog.set_checked(ctl::WHOLE_CHIP, false);
        dialog.set_checked(ctl::ONE_BLOCK, true);
        logic.on_command(dialog, command_value(ctl::ONE_BLOCK));
        dialog.set_text(ctl::BLOCK_ADDRESS, hex_text(*block));
      }
      logic.on_command(dialog, command_value(ctl::OK_BUTTON));
    };
    return chip.timed([&] { at49f_erase(chip.context()); });
  }
  bool erased(PolledChip& chip) {
    return std::all_of(chip.cells().begin(), chip.cells().begin() + 0x4000,
                       [](uint8_t cell) { return cell == 0xFF; });
  }
};

TEST_P(At49fErasePoll, EndsWhenTheChipIsDone) {
  PolledChip chip(GetParam().row, GetParam().model);
  chip.insert();
  chip.cells().assign(chip.cells().size(), 0x00);
  const uint64_t took = erase(chip);
  EXPECT_GE(took, busy_time(chip));
  EXPECT_LE(took, busy_time(chip) + 10 * MS + 100);
  EXPECT_TRUE(erased(chip));
  EXPECT_THAT(chip.rig.board.violations(), IsEmpty());
  EXPECT_THAT(chip.rig.view.window.boxes, IsEmpty());
}

// The fixed 10 s would send the closing reset into a chip still erasing.
TEST_P(At49fErasePoll, AChipSlowerThanTheFixedWaitIsWaitedFor) {
  PolledChip fixed(GetParam().row, GetParam().model, ChipWaits::fixed);
  busy_time(fixed) = AT49F_ERASE_MAX_US + 5'000 * MS;
  fixed.insert();
  erase(fixed);
  EXPECT_THAT(fixed.rig.board.violations(), Contains(HasSubstr("F0 at 00000 during")));

  PolledChip chip(GetParam().row, GetParam().model);
  busy_time(chip) = AT49F_ERASE_MAX_US + 5'000 * MS;
  chip.insert();
  chip.cells().assign(chip.cells().size(), 0x00);
  erase(chip);
  EXPECT_TRUE(erased(chip));
  EXPECT_THAT(chip.rig.board.violations(), IsEmpty());
}

TEST_P(At49fErasePoll, ANeverReadyChipIsAnEraseErrorAfterTheClosingReset) {
  PolledChip chip(GetParam().row, GetParam().model);
  chip.insert(true);
  const uint64_t took = erase(chip);
  EXPECT_GE(took, 2 * AT49F_ERASE_MAX_US);
  EXPECT_LE(took, 2 * AT49F_ERASE_MAX_US + 1'000 * MS);
  EXPECT_THAT(chip.rig.view.window.boxes,
              ElementsAre(ShownBox{text::ERASE_ERROR, std::nullopt, mb::ICON_ERROR}));
  EXPECT_THAT(chip.rig.board.violations(), ElementsAre(HasSubstr("F0 at 00000 during")));
  EXPECT_EQ(chip.rig.view.status(), u"");
}

INSTANTIATE_TEST_SUITE_P(Rows, At49fErasePoll,
                         ::testing::Values(EraseCase{u"AT49F512", "AT49F512", std::nullopt},
                                           EraseCase{u"AT49F002", "AT49F002", std::nullopt},
                                           EraseCase{u"AT49F002", "AT49F002", 0x0}),
                         [](const auto& row_info) {
                           return std::string(row_info.param.model) +
                                  (row_info.param.block ? "_block" : "_chip");
                         });

// A chip that answers busy only inside the erasing sector, each sector named
// by its first and its last address: a poll anywhere else would see the
// cells, call the erase done and send the closing reset into it.
TEST(At49f002SectorErasePoll, EachSectorIsAskedInsideItself) {
  const sim::JedecVariant at49f002 = *sim::find_jedec_variant("AT49F002");
  for (const sim::SectorRange& sector : at49f002.sectors) {
    for (const uint32_t named : {sector.start, sector.start + sector.size - 1}) {
      PolledChip chip(u"AT49F002", "AT49F002");
      chip.variant.status_only_in_erasing_sector = true;
      chip.insert();
      chip.cells().assign(chip.cells().size(), 0x00);
      chip.rig.view.dialog_player = [named](int, DialogLogic& logic, FakeDialogView& dialog) {
        dialog.set_checked(ctl::WHOLE_CHIP, false);
        dialog.set_checked(ctl::ONE_BLOCK, true);
        logic.on_command(dialog, command_value(ctl::ONE_BLOCK));
        dialog.set_text(ctl::BLOCK_ADDRESS, hex_text(named));
        logic.on_command(dialog, command_value(ctl::OK_BUTTON));
      };
      const uint64_t took = chip.timed([&] { at49f_erase(chip.context()); });
      const std::string where = std::to_string(named);
      EXPECT_GE(took, chip.variant.sector_erase_time_us) << where;
      EXPECT_THAT(chip.rig.board.violations(), IsEmpty()) << where;
      EXPECT_THAT(chip.rig.view.window.boxes, IsEmpty()) << where;
      const auto cells = chip.cells().begin();
      EXPECT_TRUE(std::all_of(cells + sector.start, cells + sector.start + sector.size,
                              [](uint8_t cell) { return cell == 0xFF; }))
          << where;
      EXPECT_EQ(std::count(chip.cells().begin(), chip.cells().end(), 0xFF), sector.size) << where;
    }
  }
}

}  // namespace
}  // namespace fp::test
