// Bus traffic of the page loop, the W29EE512 and AT49F writes and the erases,
// on a recording port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>

#include "chips/jedec/jedec_handlers.h"
#include "chips/jedec/page_write.h"
#include "tests/jedec/jedec_cycles.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

std::vector<uint8_t> counting(size_t size) {
  std::vector<uint8_t> bytes(size);
  std::iota(bytes.begin(), bytes.end(), uint8_t{0});
  return bytes;
}

std::vector<std::string> page_data(uint32_t address, const uint8_t* bytes, uint32_t count) {
  std::vector<std::string> lines;
  for (uint32_t i = 0; i < count; ++i) lines.push_back(write_line(address + i, bytes[i]));
  return lines;
}

const std::vector<std::string> PAGE_END{"priority normal", "sleep 50"};

TEST(PagedWrite, RefusesAStartOffThePageBoundaryWithoutTouchingThePort) {
  for (const auto& [row, offset] : {std::pair{u"AT29C010A", 0x40u}, std::pair{u"AT29C040A", 0x80u},
                                    std::pair{u"W29EE512", 0x40u}}) {
    RecordingRig rig(row);
    const auto write = rig.context->current_chip->slots.on_write;
    EXPECT_EQ(write(*rig.context, rig.context->image_buffer.data(), offset, 0x100), 1u);
    EXPECT_TRUE(rig.recorder.accesses().empty());
    EXPECT_THAT(rig.view.window.boxes,
                ElementsAre(ShownBox{text::BAD_EXTRA_PARAMETERS, text::PROGRAMMER,
                                     mb::OK | mb::ICON_ERROR}));
  }
}

TEST(PagedWrite, EachAt29cPageIsProtectionOffThenItsDataAtHighPriority) {
  RecordingRig rig(u"AT29C040A");
  const auto image = counting(0x200);
  EXPECT_EQ(at29c040a_write(*rig.context, image.data(), 0x1FF00, 0x200), 0u);
  // Command cycles run with A16-A18 low; the data cycles carry the page's own.
  EXPECT_EQ(rig.recorder.bus_story(),
            joined(std::vector<std::string>{"priority high"}, writes(SEQ_SDP_OFF),
                   page_data(0x1FF00, image.data(), 0x100), PAGE_END,
                   std::vector<std::string>{"priority high"}, writes(SEQ_SDP_OFF),
                   page_data(0x20000, image.data() + 0x100, 0x100), PAGE_END));
  EXPECT_EQ(rig.bus().bus_address.address(), 0x20100u);
}

TEST(PagedWrite, PartialLastPageKeepsTheChipBytesBeyondTheBlock) {
  RecordingRig rig(u"AT29C010A");
  auto image = counting(0x100);
  image[0x81] = 0xEE;          // stale bytes after the block must not reach the chip
  rig.recorder.status = 0x3F;  // the chip reads 0x33 everywhere
  EXPECT_EQ(at29c010a_write(*rig.context, image.data(), 0x80, 0x81), 0u);
  std::vector<std::string> tail_reads;
  for (uint32_t address = 0x101; address < 0x180; ++address)
    tail_reads.push_back(read_line(address));
  std::vector<uint8_t> last_page(0x80, 0x33);
  last_page[0] = image[0x80];
  EXPECT_EQ(rig.recorder.bus_story(),
            joined(std::vector<std::string>{"priority high"}, writes(SEQ_SDP_OFF),
                   page_data(0x80, image.data(), 0x80), PAGE_END, tail_reads,
                   std::vector<std::string>{"priority high"}, writes(SEQ_SDP_OFF),
                   page_data(0x100, last_page.data(), 0x80), PAGE_END));
}

TEST(PagedWrite, ProgressShowsTheWriteNotTheReadBack) {
  RecordingRig rig(u"AT29C010A");
  rig.bus().progress_prefix = text::WRITING;
  const auto image = counting(0x200);
  at29c010a_write(*rig.context, image.data(), 0, 0x181);
  EXPECT_THAT(rig.view.status_texts, ElementsAre(u"Запись: 100h", u"Запись: 200h"));
  EXPECT_EQ(rig.bus().progress_prefix, text::WRITING);
}

TEST(W29ee512Write, SendsPlainPagesWithoutAnyCommand) {
  RecordingRig rig(u"W29EE512");
  const auto image = counting(0x100);
  EXPECT_EQ(w29ee512_write(*rig.context, image.data(), 0xFF00, 0x100), 0u);
  EXPECT_EQ(rig.recorder.bus_story(),
            joined(std::vector<std::string>{"priority high"}, page_data(0xFF00, image.data(), 0x80),
                   PAGE_END, std::vector<std::string>{"priority high"},
                   page_data(0xFF80, image.data() + 0x80, 0x80), PAGE_END));
}

TEST(W29ee512Erase, AsksFirstAndNoSendsNothing) {
  RecordingRig rig(u"W29EE512");
  rig.view.window.answers = {answer::NO};
  w29ee512_erase(*rig.context);
  EXPECT_TRUE(rig.recorder.accesses().empty());
  EXPECT_TRUE(rig.view.status_texts.empty());
  EXPECT_THAT(rig.view.window.boxes, ElementsAre(ShownBox{text::ERASE_QUESTION, text::PROGRAMMER,
                                                          mb::YESNO | mb::ICON_INFORMATION}));

  rig.view.window.answers = {answer::YES};
  w29ee512_erase(*rig.context);
  EXPECT_EQ(rig.recorder.bus_story(),
            joined(writes(SEQ_CHIP_ERASE), std::vector<std::string>{"sleep 50"}));
  EXPECT_THAT(rig.view.status_texts, ElementsAre(text::ERASING, text::ERASE_DONE));
}

TEST(At49fWrite, EveryByteBehindItsOwnProgramCommandThenResetsTheBus) {
  RecordingRig rig(u"AT49F002");
  const std::vector<uint8_t> image{0x12, 0x34};
  EXPECT_EQ(at49f_write(*rig.context, image.data(), 0x1FFFF, 2), 0u);
  EXPECT_EQ(rig.recorder.latch_values(LATCH_CTRL).back(), CTRL_IDLE);
  EXPECT_EQ(rig.recorder.latch_values(LATCH_DATA).back(), 0xFF);
  const std::vector<std::string> delay(3, "status read");
  EXPECT_EQ(rig.recorder.bus_story(),
            joined(writes(SEQ_PROGRAM), std::vector<std::string>{"write 1FFFF 12"}, delay,
                   writes(SEQ_PROGRAM), std::vector<std::string>{"write 20000 34"}, delay,
                   std::vector<std::string>{"write 00000 F0"}));
  EXPECT_EQ(rig.bus().bus_address.bytes, (std::array<uint8_t, 4>{0, 0, 0, 0}));
}

TEST(At49fWrite, DataCycleLoadsTheAddressBeforeTheData) {
  RecordingRig rig(u"AT49F512");
  rig.bus().bus_address.set(0x1234);
  EXPECT_TRUE(at49f_byte_program(*rig.context, 0xA5));
  const std::vector<std::string> lines = rig.recorder.port_lines();
  const std::vector<std::string> tail(lines.end() - 27, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      "out 378 34", "out 37A 04", "out 37A 05", "out 37A 04",  // A0-A7
                      "out 378 12", "out 37A 06", "out 37A 07", "out 37A 06",  // A8-A15
                      "out 378 A5", "out 37A 00", "out 37A 01", "out 37A 00",  // data
                      "out 378 50", "out 37A 02", "out 37A 03", "out 37A 02", "out 378 70",
                      "out 37A 02", "out 37A 03", "out 37A 02", "out 378 C0", "out 37A 02",
                      "out 37A 03", "out 37A 02", "in 379",     "in 379",     "in 379"}));
  EXPECT_EQ(rig.bus().bus_address.address(), 0x1234u);
}

// Plays the erase dialog: picks a target, types a text, presses OK.
void choose(RecordingRig& rig, int radio, std::u16string block_text, int button = ctl::OK_BUTTON) {
  rig.view.dialog_player = [=](int, DialogLogic& logic, FakeDialogView& dialog) {
    dialog.set_checked(ctl::WHOLE_CHIP, radio == ctl::WHOLE_CHIP);
    dialog.set_checked(ctl::ONE_BLOCK, radio == ctl::ONE_BLOCK);
    logic.on_command(dialog, command_value(radio));
    dialog.set_text(ctl::BLOCK_ADDRESS, block_text);
    logic.on_command(dialog, command_value(button));
  };
}

const std::vector<std::string> RESET{"write 00000 F0"};

TEST(At49fErase, WholeChip) {
  RecordingRig rig(u"AT49F002");
  choose(rig, ctl::WHOLE_CHIP, u"");
  at49f_erase(*rig.context);
  EXPECT_EQ(rig.recorder.bus_story(),
            joined(writes(SEQ_CHIP_ERASE), std::vector<std::string>{"sleep 10000"}, RESET));
  EXPECT_THAT(rig.view.status_texts, ElementsAre(text::ERASING, u""));
}

TEST(At49fErase, OneBlockByItsAddress) {
  RecordingRig rig(u"AT49F002");
  choose(rig, ctl::ONE_BLOCK, u"1C000");
  at49f_erase(*rig.context);
  EXPECT_THAT(rig.recorder.latch_values(LATCH_CTRL), Contains(0x71));
  EXPECT_EQ(rig.recorder.bus_story(),
            joined(writes(SEQ_BLOCK_ERASE),
                   std::vector<std::string>{"write 1C000 30", "sleep 10000"}, RESET));
}

TEST(At49fErase, CancelStillResetsAndClearsTheStatusBar) {
  RecordingRig rig(u"AT49F512");
  choose(rig, ctl::ONE_BLOCK, u"100", ctl::CANCEL_BUTTON);
  at49f_erase(*rig.context);
  EXPECT_EQ(rig.recorder.bus_story(), RESET);
  EXPECT_THAT(rig.view.status_texts, ElementsAre(text::ERASING, u""));
}

}  // namespace
}  // namespace fp::test
