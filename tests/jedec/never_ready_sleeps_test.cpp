// A chip that never reports ready is given up on only after the handler has
// slept at least its bound: the sleeps themselves, not the board time, which
// the polls' own reads make longer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "chips/jedec/jedec_handlers.h"
#include "chips/jedec/page_write.h"
#include "tests/support/programmer_rigs.h"
#include "ui/message_box.h"

namespace fp::test {
namespace {

struct NeverReady {
  NeverReady(std::u16string_view row, std::string_view model) : rig(Recording::every_access) {
    rig.select(row);
    rig.context->chip_waits = ChipWaits::poll;
    sim::ChipFaults faults;
    faults.never_ready = true;
    rig.insert(model).set_faults(faults);
  }
  // How many of the sleeps since the last clear() lasted exactly ms.
  [[nodiscard]] size_t sleeps_of(uint32_t ms) const {
    const std::vector<uint32_t> waits = rig.recorder.waits();
    return static_cast<size_t>(std::count(waits.begin(), waits.end(), ms));
  }
  SimulatedRig rig;
};

TEST(NeverReadySleeps, APageWriteSleepsTheByteLoadWindowThenTwentyTimesOneMillisecond) {
  const std::tuple<const char16_t*, const char*, size_t> rows[] = {
      {u"AT29C010A", "AT29C010A", 0x80},
      {u"AT29C040A", "AT29C040A", 0x100},
      {u"W29EE512", "W29EE512", 0x80}};
  for (const auto& [row, model, page_size] : rows) {
    NeverReady chip(row, model);
    const std::vector<uint8_t> page(page_size, 0x00);
    EXPECT_EQ(chip.rig.slots().on_write(*chip.rig.context, page.data(), 0,
                                        static_cast<uint32_t>(page.size())),
              WRITE_CHIP_NOT_READY)
        << model;
    // The byte-load window, then the poll's own sleeps.
    EXPECT_GE(chip.sleeps_of(1), 1u + 20u) << model;
    EXPECT_EQ(chip.rig.recorder.slept_ms(), chip.sleeps_of(1)) << model;
  }
}

TEST(NeverReadySleeps, TheW29ee512EraseSleepsAHundredTimesOneMillisecond) {
  NeverReady chip(u"W29EE512", "W29EE512");
  chip.rig.view.window.answers = {answer::YES};
  w29ee512_erase(*chip.rig.context);
  EXPECT_GE(chip.sleeps_of(1), 100u);
  EXPECT_EQ(chip.rig.recorder.slept_ms(), chip.sleeps_of(1));
}

TEST(NeverReadySleeps, TheAt49fErasesSleepTwoThousandTimesTenMilliseconds) {
  NeverReady whole(u"AT49F512", "AT49F512");
  EXPECT_FALSE(at49f_chip_erase(*whole.rig.context));
  EXPECT_GE(whole.sleeps_of(10), 2000u);
  EXPECT_EQ(whole.rig.recorder.slept_ms(), 10 * whole.sleeps_of(10));

  NeverReady sector(u"AT49F002", "AT49F002");
  EXPECT_FALSE(at49f_block_erase(*sector.rig.context, 0x20000));
  EXPECT_GE(sector.sleeps_of(10), 2000u);
  EXPECT_EQ(sector.rig.recorder.slept_ms(), 10 * sector.sleeps_of(10));
}

}  // namespace
}  // namespace fp::test
