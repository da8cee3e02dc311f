// The exact latch sequences of the programming primitives.
#include "chips/attiny/attiny_bus.h"

#include <gtest/gtest.h>

#include "tests/attiny/attiny_rig.h"
#include "tests/attiny/hvpp_tokens.h"

namespace fp::test {
namespace {

using Events = std::vector<std::string>;

TEST(HvppEnter, SwitchesTheVoltageOnOnlyAfterThreeXtal1PulsesWithTheModeLinesLow) {
  RecordingRig rig(FLASH_ROW);
  hvpp_enter(*rig.context);
  EXPECT_EQ(hvpp_events(rig.recorder), HVPP_ENTRY_EVENTS);
}

TEST(HvppEnter, CalledAgainStartsWithTheVoltageOffAndRepeatsTheWholeEntry) {
  RecordingRig rig(FLASH_ROW);
  hvpp_enter(*rig.context);
  hvpp_enter(*rig.context);
  Events twice = HVPP_ENTRY_EVENTS;
  twice.insert(twice.end(), HVPP_ENTRY_EVENTS.begin(), HVPP_ENTRY_EVENTS.end());
  EXPECT_EQ(hvpp_events(rig.recorder), twice);
}

TEST(HvppLoads, PutTheByteOnTheDataLatchBeforeTheModeLinesAndPulseXtal1Once) {
  RecordingRig rig(FLASH_ROW);
  hvpp_load_command(*rig.context, 0x02);
  hvpp_load_address_low(*rig.context, 0x34);
  hvpp_load_address_high(*rig.context, 0x03);
  hvpp_load_data_low(*rig.context, 0xA5);
  EXPECT_EQ(hvpp_events(rig.recorder),
            (Events{
                "data 02",  "ctrl 48",  "lines 19", "lines 39", "lines 19",
                "lines 18",                                                  //
                "data 34",  "lines 18", "lines 38", "lines 18",              //
                "data 03",  "lines 1C", "lines 3C", "lines 1C", "lines 18",  //
                "data A5",  "lines 1A", "lines 3A", "lines 1A",              // XA0 stays high
            }));
}

TEST(HvppLoads, FlashHighByteHoldsPagelForThreePatternsAfterXtal1) {
  RecordingRig rig(FLASH_ROW);
  hvpp_load_data_low(*rig.context, 0x11);
  hvpp_load_data_high_latch(*rig.context, 0x22);
  EXPECT_EQ(hvpp_events(rig.recorder),
            (Events{"data 11", "lines 1A", "lines 3A", "lines 1A", "data 22", "lines 1E",
                    "lines 3E", "lines 1E", "lines 1E", "lines 1E", "lines 18"}));
}

TEST(HvppLoads, EepromPageLatchPulseFollowsTheDataLowLoad) {
  RecordingRig rig(FLASH_ROW);
  hvpp_load_data_low(*rig.context, 0x5A);
  hvpp_page_latch_pulse(*rig.context);
  EXPECT_EQ(hvpp_events(rig.recorder), (Events{"data 5A", "lines 1A", "lines 3A", "lines 1A",
                                               "lines 1A", "lines 1E", "lines 1A", "lines 18"}));
}

TEST(HvppProgramPulse, PulsesWriteThenWaits) {
  RecordingRig rig(FLASH_ROW);
  hvpp_program_pulse(*rig.context, 20);
  EXPECT_EQ(hvpp_events(rig.recorder), (Events{"lines 10", "lines 18", "sleep 20"}));
}

TEST(HvppRead, ReleasesTheDataLatchBeforeOeFallsAndTakesItBackAfterOeRises) {
  RecordingRig rig(FLASH_ROW);
  rig.recorder.status_queue = {0xC7, 0x3F};  // low nibble C, high nibble 3
  EXPECT_EQ(hvpp_read(*rig.context, 0x05), 0x3C);
  EXPECT_EQ(hvpp_events(rig.recorder),
            (Events{"ctrl C8", "lines 0D", "read", "lines 18", "ctrl 48"}));

  rig.recorder.clear();
  hvpp_read(*rig.context, 0x00);
  EXPECT_EQ(starting_with(hvpp_events(rig.recorder), "lines"), (Events{"lines 08", "lines 18"}));
  rig.recorder.clear();
  hvpp_read(*rig.context, 0x04);
  hvpp_read(*rig.context, 0x01);
  EXPECT_EQ(starting_with(hvpp_events(rig.recorder), "lines"),
            (Events{"lines 0C", "lines 18", "lines 09", "lines 18"}));
}

TEST(HvppRead, AtAddressLoadsTheLowAddressFirst) {
  RecordingRig rig(FLASH_ROW);
  hvpp_read_at(*rig.context, 2, 0x00);
  EXPECT_EQ(hvpp_events(rig.recorder),
            (Events{"data 02", "lines 18", "lines 38", "lines 18", "ctrl C8", "lines 08", "read",
                    "lines 18", "ctrl 48"}));
}

TEST(HvppProgramByte, PulsesWriteWithTheByteSelectAndWaitsTenMilliseconds) {
  const struct {
    uint8_t select;
    Events patterns;
  } cases[] = {
      {0x00, {"lines 18", "lines 10", "lines 18", "sleep 10", "lines 18"}},
      {0x04, {"lines 1C", "lines 14", "lines 1C", "sleep 10", "lines 18"}},
      {0x01, {"lines 19", "lines 11", "lines 19", "sleep 10", "lines 18"}},
  };
  for (const auto& c : cases) {
    RecordingRig rig(FLASH_ROW);
    hvpp_program_byte(*rig.context, 0xE4, c.select);
    Events expected{"data E4", "lines 1A", "lines 3A", "lines 1A"};
    expected.insert(expected.end(), c.patterns.begin(), c.patterns.end());
    EXPECT_EQ(hvpp_events(rig.recorder), expected) << "select " << int{c.select};
  }
}

TEST(HvppLatchProtocol, DataThenModeLinesEachLoadedAsSelectStrobeSelect) {
  RecordingRig rig(FLASH_ROW);
  hvpp_load_address_low(*rig.context, 0x9C);
  EXPECT_EQ(rig.recorder.port_lines(),
            (std::vector<std::string>{"out 378 9C", "out 37A 00", "out 37A 01", "out 37A 00",
                                      "out 378 18", "out 37A 04", "out 37A 05", "out 37A 04",
                                      "out 378 38", "out 37A 04", "out 37A 05", "out 37A 04",
                                      "out 378 18", "out 37A 04", "out 37A 05", "out 37A 04"}));
  EXPECT_TRUE(starting_with(hvpp_events(rig.recorder), "mid").empty());
}

}  // namespace
}  // namespace fp::test
