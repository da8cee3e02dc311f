// Exact bus traffic of the family's commands, identification and protection
// switching, on a recording port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chips/jedec/identify_dialog.h"
#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_handlers.h"
#include "tests/jedec/jedec_cycles.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace fp::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST(JedecWrite, LoadsDataThenAddressThenStrobesWithoutAddressBits) {
  RecordingRig rig(u"AT29C010A");
  rig.bus().bus_address.set(0x3ABCD);
  jedec_write(rig.bus(), 0x2AAA, 0x55);
  EXPECT_THAT(rig.recorder.port_lines(),
              ElementsAre("out 378 55", "out 37A 00", "out 37A 01", "out 37A 00",  // data
                          "out 378 AA", "out 37A 04", "out 37A 05", "out 37A 04",  // A0-A7
                          "out 378 2A", "out 37A 06", "out 37A 07", "out 37A 06",  // A8-A15
                          "out 378 50", "out 37A 02", "out 37A 03", "out 37A 02",  // setup
                          "out 378 70", "out 37A 02", "out 37A 03", "out 37A 02",  // strobe
                          "out 378 C0", "out 37A 02", "out 37A 03", "out 37A 02"));
  EXPECT_EQ(rig.bus().bus_address.address(), 0x3ABCDu);
}

TEST(JedecSequences, AreTheUnlockCyclesThenTheCommand) {
  const auto unlock = std::vector<std::string>{"write 05555 AA", "write 02AAA 55"};
  EXPECT_EQ(writes(SEQ_ID_ENTRY), joined(unlock, std::vector<std::string>{"write 05555 90"}));
  EXPECT_EQ(writes(SEQ_ID_EXIT), joined(unlock, std::vector<std::string>{"write 05555 F0"}));
  EXPECT_EQ(writes(SEQ_PROGRAM), joined(unlock, std::vector<std::string>{"write 05555 A0"}));
  EXPECT_EQ(writes(SEQ_SDP_OFF), joined(unlock, std::vector<std::string>{"write 05555 80"}, unlock,
                                        std::vector<std::string>{"write 05555 20"}));
  EXPECT_EQ(writes(SEQ_CHIP_ERASE), joined(unlock, std::vector<std::string>{"write 05555 80"},
                                           unlock, std::vector<std::string>{"write 05555 10"}));
  EXPECT_EQ(writes(SEQ_BLOCK_ERASE),
            joined(unlock, std::vector<std::string>{"write 05555 80"}, unlock));

  RecordingRig rig(u"AT49F002");
  send_sequence(rig.bus(), SEQ_SDP_OFF);
  EXPECT_EQ(rig.recorder.bus_story(), writes(SEQ_SDP_OFF));
}

TEST(ReadJedecId, ReadsBothCodesInsideIdentificationMode) {
  RecordingRig rig(u"AT29C040A");
  rig.bus().bus_address.set(0x20000);
  // Low nibble, then high nibble, of 0x1F and then of 0xA4.
  rig.recorder.status_queue = {0xF0, 0x10, 0x40, 0xA0};
  const JedecId id = read_jedec_id(*rig.context);
  EXPECT_EQ(id.manufacturer, 0x1F);
  EXPECT_EQ(id.device, 0xA4);
  // The reads keep A8-A15 = 0x55 of the command and take A16-A18 from bus_address.
  EXPECT_EQ(rig.recorder.bus_story(),
            joined(writes(SEQ_ID_ENTRY), std::vector<std::string>{"sleep 10", "read 25500"},
                   std::vector<std::string>{"read 25501"}, writes(SEQ_ID_EXIT),
                   std::vector<std::string>{"sleep 10"}));
  EXPECT_EQ(rig.bus().bus_address.address(), 0x20000u);
}

TEST(IdentifyDialog, ShowsCodesWithoutLeadingZerosAndSwitchesProtection) {
  RecordingRig rig(u"AT49F512");
  rig.recorder.status_queue = {0x00, 0x00, 0xF0, 0x10};  // 0x00, then 0x1F
  std::vector<std::string> after_sdp;
  rig.view.dialog_player = [&](int id, DialogLogic& logic, FakeDialogView& dialog) {
    EXPECT_EQ(id, dlg::JEDEC_ID);
    EXPECT_EQ(dialog.text(ctl::MANUFACTURER_CODE), u"0");
    EXPECT_EQ(dialog.text(ctl::DEVICE_CODE), u"1F");
    rig.recorder.clear();
    logic.on_command(dialog, command_value(ctl::SDP_ON));
    logic.on_command(dialog, command_value(ctl::OK_BUTTON));  // Enter: nothing
    EXPECT_FALSE(dialog.ended);
    EXPECT_EQ(dialog.text(ctl::DEVICE_CODE), u"1F");
    after_sdp = rig.recorder.bus_story();
    logic.on_command(dialog, command_value(ctl::CANCEL_BUTTON));
    EXPECT_EQ(dialog.ended, 0);
  };
  jedec_identify(*rig.context);
  EXPECT_THAT(rig.view.dialogs_run, ElementsAre(dlg::JEDEC_ID));
  // No page to keep on a byte-programmed chip: one 0xFF cycle at 0x00FF.
  EXPECT_EQ(after_sdp,
            joined(std::vector<std::string>{"priority high"}, writes(SEQ_PROGRAM),
                   std::vector<std::string>{"write 000FF FF", "priority normal", "sleep 50"}));
}

// The page-write chips read their first page and load it back, so switching
// protection leaves the page as it was.
TEST(SoftwareProtection, ReloadsTheFirstPageInDescendingOrder) {
  for (const auto& [row, page] : {std::pair{u"AT29C010A", 0x80u}, std::pair{u"AT29C040A", 0x100u},
                                  std::pair{u"W29EE512", 0x80u}}) {
    RecordingRig rig(row);
    rig.bus().bus_address.set(0x12345);
    rig.recorder.status = 0x5F;  // every read gives 0x55
    sdp_off(*rig.context);
    std::vector<std::string> expected;
    for (uint32_t i = 0; i < page; ++i) expected.push_back(read_line(i));
    expected.emplace_back("priority high");
    const auto command = writes(SEQ_SDP_OFF);
    expected.insert(expected.end(), command.begin(), command.end());
    for (uint32_t n = page; n-- > 0;) expected.push_back(write_line(n, 0x55));
    expected.emplace_back("priority normal");
    expected.emplace_back("sleep 50");
    EXPECT_EQ(rig.recorder.bus_story(), expected);
    EXPECT_EQ(rig.bus().bus_address.address(), 0x12345u);
  }
}

TEST(SoftwareProtection, DataCycleLoadsAddressThenDataThenStrobes) {
  RecordingRig rig(u"AT49F002");
  sdp_on(*rig.context);
  const std::vector<std::string> lines = rig.recorder.port_lines();
  const std::vector<std::string> tail(lines.end() - 26, lines.end());
  EXPECT_THAT(tail, ElementsAreArray(std::vector<std::string>{
                        "out 378 00", "out 37A 06", "out 37A 07",      "out 37A 06",  // A8-A15
                        "out 378 FF", "out 37A 04", "out 37A 05",      "out 37A 04",  // A0-A7
                        "out 378 FF", "out 37A 00", "out 37A 01",      "out 37A 00",  // data
                        "out 378 50", "out 37A 02", "out 37A 03",      "out 37A 02", "out 378 70",
                        "out 37A 02", "out 37A 03", "out 37A 02",      "out 378 C0", "out 37A 02",
                        "out 37A 03", "out 37A 02", "priority normal", "sleep 50"}));
}

}  // namespace
}  // namespace fp::test
