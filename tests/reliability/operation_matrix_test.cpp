// Every catalogue row x every operation button x what sits in the socket,
// played through the script frontend (the same window logic the operator
// uses). Each combination must end within the row's bound of board time,
// show only the messages the row's handlers and the main window can show,
// cause no protocol violation with the row's own healthy chip, and never
// report a write as done when the chip cannot have taken it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "bus/number_text.h"
#include "frontends/headless/quoting.h"
#include "frontends/script/script_session.h"
#include "platform/utf8.h"
#include "sim/model_factory.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/row_params.h"
#include "tests/support/test_folder.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

namespace fs = std::filesystem;
using headless::flag_names;
using headless::quoted;

// A message box as the script frontend prints it, without the answer.
std::string box(std::u16string_view text, const char16_t* caption, uint32_t flags) {
  return "box " + quoted(text) +
         " caption=" + (caption != nullptr ? quoted(caption) : std::string("none")) +
         " flags=" + flag_names(flags);
}

// Boxes whose text is a number: the calibration count and the chip codes.
const std::regex TIMER_COUNT_BOX("box \"[0-9]+\" caption=" + quoted(text::TIMER_LOOPS) +
                                 " flags=MB_OK");
const std::regex TWO_CODES_BOX("box \"[0-9A-F]{1,2}\\\\r\\\\n[0-9A-F]{1,2}\" caption=" +
                               quoted(text::CHIP_TYPE) + " flags=MB_OK");
const std::regex THREE_CODES_BOX(
    "box \"[0-9A-F]{1,2}\\\\r\\\\n[0-9A-F]{1,2}\\\\r\\\\n[0-9A-F]{1,2}\" "
    "caption=" +
    quoted(text::CHIP_TYPE) + " flags=MB_OK");

// Status texts of every family: a progress prefix, alone or with an address
// and "h", the closing texts, or nothing.
const std::regex STATUS("status \"((" + to_utf8(text::READING) + "|" + to_utf8(text::WRITING) +
                        "|" + to_utf8(text::VERIFYING) + "|" + to_utf8(text::ERASING) +
                        ")([0-9A-F]+h)?|" + to_utf8(text::ERASE_DONE) + "|" +
                        to_utf8(text::CHECK_DONE) + ")?\"");

// What the main window itself can show, for every row.
std::vector<std::string> main_window_boxes() {
  return {
      box(text::BAD_EXTRA_PARAMETERS, nullptr, mb::ICON_ERROR),
      box(text::FILE_READ_ERROR, nullptr, mb::ICON_ERROR),
      box(text::FILE_SAVED, text::PROGRAMMER, mb::OK),
      box(text::FILE_WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR),
      box(text::NOT_CALIBRATED, text::PROGRAMMER, mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2),
      box(text::WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR),
      box(text::WRITE_DONE, text::PROGRAMMER, mb::OK),
      box(text::DATA_EQUAL, text::PROGRAMMER, mb::OK),
      box(text::COMPARE_ERROR, text::PROGRAMMER, mb::ICON_ERROR),
      box(text::REMOVE_CHIP, text::PROGRAMMER, mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2),
      box(text::TIMER_ERROR, text::PROGRAMMER, mb::ICON_ERROR),
      box(text::VPP_ON, text::PROGRAMMER, mb::OK | mb::ICON_WARNING),
  };
}

const std::string NOT_IMPLEMENTED = box(text::NOT_IMPLEMENTED, nullptr, mb::ICON_INFORMATION);
const std::string BLANK = box(text::BLANK, text::PROGRAMMER, mb::OK);
const std::string NOT_BLANK = box(text::NOT_BLANK, text::PROGRAMMER, mb::ICON_INFORMATION);
const std::string WRITE_DONE = box(text::WRITE_DONE, text::PROGRAMMER, mb::OK);
const std::string FILE_SAVED = box(text::FILE_SAVED, text::PROGRAMMER, mb::OK);
const std::string PAGE_OFFSET_REFUSED =
    box(text::BAD_EXTRA_PARAMETERS, text::PROGRAMMER, mb::ICON_ERROR);

enum class Codes { none, two, three };

// One catalogue row and what the matrix needs to know about it, all from
// the row and its facts.
struct RowCase {
  std::string label;  // test name
  size_t index;       // in the catalogue
  const ChipDescriptor* row;
  const char* model;
  // A chip of another family.
  const char* stranger;
  // The slice of read, write and compare: the whole chip, or for the larger
  // chips a slice across the middle (a 64 KiB boundary, where the chip has
  // one), so that the matrix stays quick under the sanitizers (the
  // whole-chip figures are the benchmarks' business).
  uint32_t rom_offset;
  std::optional<uint32_t> length;
  // The stuck byte, inside the slice of the row's memory (nothing: the
  // row's memory is not the one the fault reaches).
  std::optional<uint32_t> stuck_address;
  // Bound of board time for one combination, seconds: the longest wait the
  // driver's protocol allows for the slowest operation, with room to spare.
  double bound_s;
  // The messages of the row's handlers, beyond the main window's.
  std::vector<std::string> boxes;
  Codes codes;
  bool has_empty_slots;  // blank check and erase answer "not implemented"
  // The operator's answer to the row's own dialogs when confirming them.
  std::vector<std::string> confirm_erase;
  std::vector<std::string> confirm_blank_check;
};

const std::vector<std::string> JEDEC_ERASE_DIALOG_OK{"click 1"};
const std::vector<std::string> BLOCKS_DIALOG_ALL{"click 1030", "click 1034", "click 1035",
                                                 "click 1036", "click 1"};
const std::vector<std::string> BLOCKS_DIALOG_OK{"click 1"};

const std::string ERASE_QUESTION =
    box(text::ERASE_QUESTION, text::PROGRAMMER, mb::YESNO | mb::ICON_INFORMATION);
const std::string BAD_NUMBER = box(text::BAD_NUMBER, nullptr, mb::ICON_ERROR);
const std::string HV_ERASE_ERROR = box(text::ERASE_ERROR, nullptr, mb::ICON_ERROR);
const std::string HV_NOT_BLANK = box(text::NOT_BLANK, nullptr, mb::ICON_ERROR);
const std::string ERASE_DONE_BOX = box(text::ERASE_DONE, text::PROGRAMMER, mb::OK);
const std::string ERASE_ERROR_BOX = box(text::ERASE_ERROR, text::PROGRAMMER, mb::ICON_ERROR);
const std::string ODD_BLOCK = box(text::ODD_BLOCK, nullptr, mb::ICON_ERROR);
const std::string EEPROM_ERASE_REFUSED =
    box(text::EEPROM_ERASE_REFUSED, text::PROGRAMMER, mb::ICON_INFORMATION);

// What a driver's handlers show and ask; false for a driver the matrix does
// not know, so that a row of a new driver fails until it has its case.
bool add_driver_case(const ChipDescriptor& row, RowCase& cases) {
  const bool blank = row.slots.on_blank_check != nullptr;
  const bool erase = row.slots.on_erase != nullptr;
  cases.has_empty_slots = !blank || !erase;
  switch (row.facts.driver) {
    case ChipDriver::page_write:
      // Pages wait 50 ms each in the window: the slice, and the whole chip in the blank check.
      cases.boxes = {PAGE_OFFSET_REFUSED};
      if (blank) cases.boxes.insert(cases.boxes.end(), {BLANK, NOT_BLANK});
      if (erase) cases.boxes.push_back(ERASE_QUESTION);
      cases.bound_s = 40;
      break;
    case ChipDriver::byte_program:
      // About 100 port accesses a byte; chip erase 10 s; more for a 4-Mbit chip.
      cases.boxes = {BLANK, NOT_BLANK, BAD_NUMBER};
      cases.confirm_erase = JEDEC_ERASE_DIALOG_OK;
      cases.bound_s = 30.0 * std::max<uint32_t>(1, row.size / 0x40000);
      break;
    case ChipDriver::attiny_flash:
    case ChipDriver::attiny_eeprom:
      // Pages of 10 ms; chip erase 10 ms.
      cases.boxes = {BLANK, NOT_BLANK, PAGE_OFFSET_REFUSED, ODD_BLOCK};
      if (row.facts.erase == EraseLayout::none) cases.boxes.push_back(EEPROM_ERASE_REFUSED);
      cases.bound_s = 30;
      return true;
    case ChipDriver::at89c_serial:
      // 3 ms a byte: 4 KiB take 12 s.
      cases.boxes = {BLANK, NOT_BLANK};
      cases.codes = Codes::three;
      cases.bound_s = 40;
      return true;
    case ChipDriver::i28f_blocks:
      // Block erase: at most ten one-second status polls a block, four blocks.
      cases.boxes = {HV_ERASE_ERROR, HV_NOT_BLANK};
      cases.codes = Codes::two;
      cases.confirm_erase = BLOCKS_DIALOG_ALL;
      cases.confirm_blank_check = BLOCKS_DIALOG_OK;
      cases.bound_s = 60;
      return true;
    case ChipDriver::am28f_pulses:
      // Erase: pre-programming byte by byte (about 10 s of port accesses for
      // 128 KiB), then at most 1000 pulses of 10 ms; more for a larger chip.
      cases.boxes = {BLANK, NOT_BLANK, ERASE_DONE_BOX, ERASE_ERROR_BOX};
      cases.codes = Codes::two;
      cases.bound_s = 40.0 * std::max<uint32_t>(1, row.size / 0x20000);
      return true;
    case ChipDriver::none:
      return false;
  }
  // Rows after the window's twelve ask the chip: an erase that never ends
  // says so, after at most twice the row's longest erase.
  if (window_waits(row) == ChipWaits::poll && (row.facts.driver == ChipDriver::page_write ||
                                               row.facts.driver == ChipDriver::byte_program)) {
    if (erase) cases.boxes.push_back(HV_ERASE_ERROR);
    cases.bound_s = std::max(cases.bound_s, 2.0 * row.facts.erase_max_ms / 1000 + 10);
  }
  return true;
}

// A case for every catalogue row: a row the matrix cannot build a case for
// fails by its label.
const std::vector<RowCase>& row_cases() {
  static const std::vector<RowCase> cases = [] {
    const auto rows = catalogue_rows();
    std::vector<RowCase> made;
    for (size_t i = 0; i < rows.size(); ++i) {
      const ChipDescriptor& row = rows[i];
      RowCase c{test::row_label(row), i, &row, row.facts.model, nullptr, 0,  std::nullopt,
                std::nullopt,         0, {},   Codes::none,     false,   {}, {}};
      // The next row (round the catalogue) of another family brings the stranger.
      for (size_t step = 1; step < rows.size() && c.stranger == nullptr; ++step) {
        const ChipDescriptor& other = rows[(i + step) % rows.size()];
        if (other.facts.family != row.facts.family) c.stranger = other.facts.model;
      }
      if (row.size > 0x1000) {
        c.length = row.size >= 0x20000 ? 0x8000 : 0x4000;
        c.rom_offset = row.size / 2 - *c.length / 2;
        c.stuck_address = row.size / 2 + 0x123;
      } else if (row.facts.driver != ChipDriver::attiny_eeprom) {
        c.stuck_address = 0x123;  // the fault reaches the flash, not the EEPROM
      }
      if (!add_driver_case(row, c)) c.bound_s = -1;
      made.push_back(std::move(c));
    }
    return made;
  }();
  return cases;
}

void PrintTo(const RowCase& row, std::ostream* out) {
  *out << row.label;
}

enum class Socket { own_chip, empty, stranger, never_ready, stuck };
const char* socket_name(Socket socket) {
  switch (socket) {
    case Socket::own_chip:
      return "own chip";
    case Socket::empty:
      return "empty socket";
    case Socket::stranger:
      return "chip of another family";
    case Socket::never_ready:
      return "own chip, never ready";
    default:
      return "own chip, stuck byte";
  }
}

struct Button {
  const char* name;
  int id;
  bool confirm;  // the operator says yes to every question and accepts the row's dialog
};
const Button BUTTONS[] = {
    {"read", ctl::READ, false},
    {"write", ctl::WRITE, false},
    {"compare", ctl::COMPARE, false},
    {"blank check", ctl::BLANK_CHECK, false},
    {"blank check, confirmed", ctl::BLANK_CHECK, true},
    {"erase", ctl::ERASE, false},
    {"erase, confirmed", ctl::ERASE, true},
    {"ID", ctl::IDENTIFY, false},
    {"calibration", ctl::CALIBRATE, false},
};

constexpr uint8_t STUCK_VALUE = 0x00;

struct Outcome {
  std::vector<std::string> lines;
  double virtual_s = 0;
  size_t violations = 0;
};

class OperationMatrixTest : public ::testing::TestWithParam<RowCase> {
 protected:
  // Random data that the erased chip does not hold, and whose stuck byte differs.
  void make_image(const RowCase& row, uint32_t size) {
    std::mt19937 engine(size);
    std::vector<char> bytes(size);
    for (auto& byte : bytes) byte = static_cast<char>(engine() & 0x7F);
    if (row.stuck_address && *row.stuck_address - row.rom_offset < size) {
      bytes[*row.stuck_address - row.rom_offset] = static_cast<char>(0xA5);
    }
    std::ofstream(folder / "image.bin", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::vector<std::string> script(const RowCase& row, const char* stranger, Socket socket,
                                  const Button& button) {
    std::vector<std::string> lines;
    switch (socket) {
      case Socket::empty:
        lines.emplace_back("insert none");
        break;
      case Socket::stranger:
        lines.emplace_back(std::string("insert ") + stranger);
        break;
      default:
        lines.emplace_back(std::string("insert ") + row.model);
        break;
    }
    if (socket == Socket::never_ready) lines.emplace_back("fault never-ready");
    if (socket == Socket::stuck) {
      lines.emplace_back("fault stuck " + to_utf8(hex_text(row.stuck_address.value_or(0x123))) +
                         " " + to_utf8(hex_text(STUCK_VALUE)));
    }
    lines.emplace_back("select " + std::to_string(row.index));
    // A Read saves into a file of its own, so the image stays what it was made.
    const fs::path file = folder / (button.id == ctl::READ ? "read.bin" : "image.bin");
    lines.emplace_back("text 1001 \"" + file.string() + "\"");
    if (row.length) {
      lines.insert(lines.end(),
                   {"click 1007", "text 1010 0", "text 1012 " + to_utf8(hex_text(row.rom_offset)),
                    "text 1014 " + to_utf8(hex_text(*row.length))});
    }
    // The main window's own questions (calibration not done, chip removed)
    // are answered yes, or write and calibration would never run.
    if (button.id == ctl::WRITE || button.id == ctl::CALIBRATE) lines.emplace_back("answer yes");
    if (button.confirm) {
      for (int i = 0; i < 4; ++i) lines.emplace_back("answer yes");
    }
    lines.emplace_back("click " + std::to_string(button.id));
    if (button.confirm) {
      const auto& confirm = button.id == ctl::ERASE ? row.confirm_erase : row.confirm_blank_check;
      lines.insert(lines.end(), confirm.begin(), confirm.end());
    }
    return lines;
  }

  Outcome play(const std::vector<std::string>& lines) {
    std::ostringstream output;
    script::ScriptSession session(output, nullptr);
    session.run(lines);
    Outcome outcome;
    std::istringstream shown(output.str());
    for (std::string line; std::getline(shown, line);) outcome.lines.push_back(line);
    outcome.virtual_s = static_cast<double>(session.board().now_us()) / 1e6;
    outcome.violations = session.board().violations().size();
    return outcome;
  }

  test::TestFolder temp{"operation_matrix"};
  const fs::path& folder = temp.path();
};

std::string without_answer(const std::string& line) {
  const size_t arrow = line.rfind(" -> ");
  return arrow == std::string::npos ? line : line.substr(0, arrow);
}

TEST_P(OperationMatrixTest, EveryButtonInEverySocketStateEndsSafely) {
  const RowCase& row = GetParam();
  ASSERT_GT(row.bound_s, 0) << "the matrix has no case for the driver of " << row.label;
  ASSERT_NE(sim::make_chip_model(row.model), nullptr) << "no simulated " << row.model;
  const char* stranger = row.stranger;
  ASSERT_NE(stranger, nullptr) << "no chip of another family";
  ASSERT_NE(sim::make_chip_model(stranger), nullptr) << "no simulated " << stranger;
  const uint32_t size = row.length.value_or(row.row->size);
  make_image(row, size);

  std::vector<std::string> allowed = main_window_boxes();
  allowed.insert(allowed.end(), row.boxes.begin(), row.boxes.end());
  if (row.has_empty_slots) allowed.push_back(NOT_IMPLEMENTED);
  const auto allowed_box = [&](const std::string& line) {
    const std::string shown = without_answer(line);
    if (std::find(allowed.begin(), allowed.end(), shown) != allowed.end()) return true;
    if (std::regex_match(shown, TIMER_COUNT_BOX)) return true;
    if (row.codes == Codes::two) return std::regex_match(shown, TWO_CODES_BOX);
    if (row.codes == Codes::three) return std::regex_match(shown, THREE_CODES_BOX);
    return false;
  };

  int combinations = 0;
  double worst_s = 0;
  std::string worst;
  for (const Socket socket :
       {Socket::own_chip, Socket::empty, Socket::stranger, Socket::never_ready, Socket::stuck}) {
    for (const Button& button : BUTTONS) {
      const std::string where =
          std::string(row.label) + ", " + socket_name(socket) + ", " + button.name;
      SCOPED_TRACE(where);
      Outcome outcome;
      try {
        outcome = play(script(row, stranger, socket, button));
      } catch (const headless::ScriptError& error) {
        ADD_FAILURE() << "script error: " << error.what();
        continue;
      }
      ++combinations;
      if (outcome.virtual_s > worst_s) {
        worst_s = outcome.virtual_s;
        worst = where;
      }
      EXPECT_LE(outcome.virtual_s, row.bound_s);
      ASSERT_FALSE(outcome.lines.empty());
      EXPECT_EQ(outcome.lines.back(), "exit 0");
      // The calibration asks for the chip to be taken out first: a chip left
      // in the socket gets the programming voltage, and may well say so.
      const bool calibration = button.id == ctl::CALIBRATE;
      std::vector<std::string> boxes;
      for (const std::string& line : outcome.lines) {
        if (line.rfind("box ", 0) == 0) {
          boxes.push_back(without_answer(line));
          EXPECT_TRUE(allowed_box(line)) << "not a message of this row: " << line;
        } else if (line.rfind("status ", 0) == 0) {
          EXPECT_TRUE(std::regex_match(line, STATUS)) << line;
        } else if (line.rfind("sim ", 0) == 0 && socket == Socket::own_chip && !calibration) {
          ADD_FAILURE() << "violation with the row's own healthy chip: " << line;
        }
      }
      const bool healthy =
          socket == Socket::own_chip || (socket == Socket::stuck && !row.stuck_address);
      const auto shown = [&](const std::string& wanted) {
        return std::find(boxes.begin(), boxes.end(), wanted) != boxes.end();
      };
      if (button.id == ctl::WRITE) {
        // Done only when the data can be in the chip: a failure reported as
        // success is the worst a programmer can do.
        EXPECT_EQ(shown(WRITE_DONE), healthy);
      }
      if (button.id == ctl::READ) {
        EXPECT_TRUE(shown(FILE_SAVED));
      }
      if (socket == Socket::own_chip && !calibration) {
        EXPECT_EQ(outcome.violations, 0u);
      }
    }
  }
  std::cout << "[ matrix  ] " << row.label << ": " << combinations
            << " combinations, worst board time " << worst_s << " s (" << worst << "), bound "
            << row.bound_s << " s\n";
}

// Rows after the window's twelve are the command line's: each runs its
// family's operations through its handlers, as the command line does (the
// chip asked, no fixed waits), on its own chip, on one that never gets
// ready and in an empty socket.
class CommandLineRowTest : public ::testing::TestWithParam<RowCase> {
 protected:
  // The operator says yes to every question.
  static void accept_everything(test::SimulatedRig& rig) {
    rig.context->chip_waits = ChipWaits::poll;
    for (int i = 0; i < 16; ++i) rig.view.window.answers.push_back(answer::YES);
  }

  // The row's dialogs are confirmed as the matrix confirms them ("click N"
  // lines; none: OK, the whole chip).
  static void confirm_dialogs(test::SimulatedRig& rig, const std::vector<std::string>& lines) {
    std::vector<int> clicks;
    for (const std::string& line : lines)
      clicks.push_back(std::stoi(line.substr(line.find(' ') + 1)));
    if (clicks.empty()) clicks.push_back(ctl::OK_BUTTON);
    rig.view.dialog_player = [clicks](int, DialogLogic& logic, test::FakeDialogView& view) {
      for (const int id : clicks) {
        // A click on a check box flips it before the dialog hears of it.
        if (id != ctl::OK_BUTTON) view.set_checked(id, !view.checked(id));
        logic.on_command(view, command_value(id));
      }
    };
  }

  static bool shown(const test::SimulatedRig& rig, std::u16string_view text) {
    return std::any_of(rig.view.window.boxes.begin(), rig.view.window.boxes.end(),
                       [text](const test::ShownBox& box) { return box.text == text; });
  }
};

TEST_P(CommandLineRowTest, EveryOperationOfTheFamilyWorksByAskingTheChip) {
  const RowCase& row = GetParam();
  ASSERT_GT(row.bound_s, 0) << "no case for the driver of " << row.label;
  const ChipSlots& slots = row.row->slots;
  const uint32_t length = row.length.value_or(row.row->size);
  std::mt19937 engine(length);
  std::vector<uint8_t> image(length);
  for (uint8_t& byte : image) byte = static_cast<uint8_t>(engine() & 0x7F);

  {
    SCOPED_TRACE("own chip");
    test::SimulatedRig rig(row.row->name, row.model);
    accept_everything(rig);
    // Families tell a blank chip differently (a box, or only the status
    // bar); all say so when it is not.
    const auto blank_check_passes = [&rig, &slots, &row] {
      rig.view.window.boxes.clear();
      confirm_dialogs(rig, row.confirm_blank_check);
      slots.on_blank_check(*rig.context);
      return !shown(rig, text::NOT_BLANK);
    };
    if (slots.on_blank_check != nullptr) {
      EXPECT_TRUE(blank_check_passes()) << "a fresh chip is blank";
    }
    ASSERT_NE(slots.on_write, nullptr);
    EXPECT_EQ(slots.on_write(*rig.context, image.data(), row.rom_offset, length), 0u);
    if (slots.on_blank_check != nullptr) {
      EXPECT_FALSE(blank_check_passes()) << "a written chip is not blank";
    }
    EXPECT_EQ(verify_handler(*row.row)(*rig.context, image.data(), row.rom_offset, length), 0u);
    std::vector<uint8_t> back(length);
    EXPECT_EQ(read_handler(*row.row)(*rig.context, back.data(), row.rom_offset, length),
              ReadResult::done);
    EXPECT_EQ(back, image);
    const std::vector<uint8_t>& cells =
        rig.memory(row.row->facts.driver == ChipDriver::attiny_eeprom ? "eeprom" : "main");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), cells.begin() + row.rom_offset));
    if (slots.on_erase != nullptr && row.row->facts.erase != EraseLayout::none) {
      rig.view.window.boxes.clear();
      confirm_dialogs(rig, row.confirm_erase);
      slots.on_erase(*rig.context);
      EXPECT_TRUE(std::all_of(cells.begin(), cells.end(), [](uint8_t cell) {
        return cell == 0xFF;
      })) << "the erase left programmed cells";
      if (slots.on_blank_check != nullptr) {
        EXPECT_TRUE(blank_check_passes());
      }
    }
    EXPECT_TRUE(rig.board.violations().empty()) << rig.board.violations().front();
    EXPECT_LE(static_cast<double>(rig.board.now_us()) / 1e6, row.bound_s);
  }
  {
    SCOPED_TRACE("own chip, never ready");
    test::SimulatedRig rig(row.row->name, row.model);
    accept_everything(rig);
    sim::ChipFaults never_ready;
    never_ready.never_ready = true;
    rig.board.chip()->set_faults(never_ready);
    const uint32_t written = slots.on_write(*rig.context, image.data(), row.rom_offset, length);
    const bool asked = row.row->facts.ready != ReadySignal::fixed_wait;
    if (asked && row.row->facts.driver == ChipDriver::page_write) {
      EXPECT_EQ(written, WRITE_CHIP_NOT_READY) << "a page the chip never wrote reported written";
    }
    if (asked && slots.on_erase != nullptr) {
      rig.view.window.boxes.clear();
      confirm_dialogs(rig, row.confirm_erase);
      slots.on_erase(*rig.context);
      EXPECT_TRUE(shown(rig, text::ERASE_ERROR)) << "an erase that never ended reported done";
    }
    EXPECT_LE(static_cast<double>(rig.board.now_us()) / 1e6, 2 * row.bound_s + 130);
  }
  {
    SCOPED_TRACE("empty socket");
    test::SimulatedRig rig(row.row->name, row.model);
    accept_everything(rig);
    rig.board.remove();
    slots.on_write(*rig.context, image.data(), row.rom_offset, length);
    EXPECT_NE(verify_handler(*row.row)(*rig.context, image.data(), row.rom_offset, length), 0u)
        << "an empty socket verified as written";
  }
}

std::vector<RowCase> cases_of(bool window) {
  std::vector<RowCase> cases;
  for (const RowCase& row : row_cases()) {
    if ((row.index < WINDOW_ROW_COUNT) == window) cases.push_back(row);
  }
  return cases;
}

std::string label_param(const ::testing::TestParamInfo<RowCase>& row) {
  return row.param.label;
}

INSTANTIATE_TEST_SUITE_P(Rows, OperationMatrixTest, ::testing::ValuesIn(row_cases()), label_param);
INSTANTIATE_TEST_SUITE_P(Rows, CommandLineRowTest, ::testing::ValuesIn(cases_of(false)),
                         label_param);

}  // namespace
}  // namespace fp
