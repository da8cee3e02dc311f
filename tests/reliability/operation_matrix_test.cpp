// Every catalogue row x every operation button x what sits in the socket,
// played through the script frontend (the same window logic the operator
// uses). Each combination must end within the row's bound of board time,
// show only the messages the row's handlers and the main window can show,
// cause no protocol violation with the row's own healthy chip, and never
// report a write as done when the chip cannot have taken it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
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

// One catalogue row and what the matrix needs to know about it.
struct RowCase {
  const char* label;  // test name
  const char16_t* row;
  const char* model;
  // A chip of another family.
  const char* stranger;
  // The slice of read, write and compare: the whole chip, or for the chips
  // whose writes take many port accesses a slice, crossing a 64 KiB boundary
  // where the chip has one, so that the matrix stays quick under the
  // sanitizers (the whole-chip figures are the benchmarks' business).
  uint32_t rom_offset;
  std::optional<uint32_t> length;
  // The stuck byte, inside the slice of the row's memory (nothing: the
  // row's memory is not the one the fault reaches).
  std::optional<uint32_t> stuck_address;
  // Bound of board time for one combination, seconds: the longest wait the
  // row's protocol allows for the slowest operation, with room to spare.
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

const std::vector<RowCase>& row_cases() {
  static const std::vector<RowCase> cases{
      // Pages of 0x80 with a 50 ms wait each; the slice is 0x100 pages.
      {"AT29C010A",
       u"AT29C010A",
       "AT29C010A",
       "AT89C2051",
       0xC000,
       0x8000,
       0xC123,
       30,
       {PAGE_OFFSET_REFUSED},
       Codes::none,
       true,
       {},
       {}},
      // Pages of 0x100: 0x80 pages.
      {"AT29C040A",
       u"AT29C040A",
       "AT29C040A",
       "AM28F001",
       0xC000,
       0x8000,
       0xC123,
       30,
       {PAGE_OFFSET_REFUSED},
       Codes::none,
       true,
       {},
       {}},
      // Byte programming without waits (about 100 port accesses a byte); erase 10 s.
      {"AT49F512",
       u"AT49F512",
       "AT49F512",
       "I28F001BX-T",
       0x3F80,
       0x4000,
       0x4123,
       30,
       {BLANK, NOT_BLANK, BAD_NUMBER},
       Codes::none,
       false,
       JEDEC_ERASE_DIALOG_OK,
       {}},
      {"AT49F002",
       u"AT49F002",
       "AT49F002",
       "AT89C4051",
       0xE000,
       0x4000,
       0xF123,
       30,
       {BLANK, NOT_BLANK, BAD_NUMBER},
       Codes::none,
       false,
       JEDEC_ERASE_DIALOG_OK,
       {}},
      // 16-word pages of 10 ms; chip erase 10 ms.
      {"ATTINY2313_FLASH",
       u"ATTINY2313 - FLASH",
       "ATTINY2313",
       "W29EE512",
       0,
       std::nullopt,
       0x123,
       30,
       {BLANK, NOT_BLANK, PAGE_OFFSET_REFUSED, ODD_BLOCK},
       Codes::none,
       false,
       {},
       {}},
      // 4-byte pages of 10 ms; the fault reaches the flash, not the EEPROM.
      {"ATTINY2313_EEPROM",
       u"ATTINY2313 - EEPROM",
       "ATTINY2313",
       "W29EE512",
       0,
       std::nullopt,
       std::nullopt,
       30,
       {BLANK, NOT_BLANK, PAGE_OFFSET_REFUSED, ODD_BLOCK, EEPROM_ERASE_REFUSED},
       Codes::none,
       false,
       {},
       {}},
      // 3 ms a byte: 2 KiB take 6 s, 4 KiB 12 s.
      {"AT89C2051",
       u"AT89C2051/2052",
       "AT89C2051",
       "AT49F512",
       0,
       std::nullopt,
       0x123,
       30,
       {BLANK, NOT_BLANK},
       Codes::three,
       false,
       {},
       {}},
      {"AT89C4051",
       u"AT89C4051/4052",
       "AT89C4051",
       "AT49F512",
       0,
       std::nullopt,
       0x123,
       40,
       {BLANK, NOT_BLANK},
       Codes::three,
       false,
       {},
       {}},
      // Block erase: at most ten one-second status polls a block, four blocks.
      {"I28F001BX_T",
       u"i28F001BX-T",
       "I28F001BX-T",
       "AT29C040A",
       0x10000,
       0x8000,
       0x10123,
       60,
       {HV_ERASE_ERROR, HV_NOT_BLANK},
       Codes::two,
       false,
       BLOCKS_DIALOG_ALL,
       BLOCKS_DIALOG_OK},
      {"I28F001BX_B",
       u"i28F001BX-B",
       "I28F001BX-B",
       "AT29C040A",
       0x10000,
       0x8000,
       0x10123,
       60,
       {HV_ERASE_ERROR, HV_NOT_BLANK},
       Codes::two,
       false,
       BLOCKS_DIALOG_ALL,
       BLOCKS_DIALOG_OK},
      // Erase: pre-programming 128 KiB byte by byte (about 10 s of port
      // accesses), then at most 1000 pulses of 10 ms.
      {"AM28F001",
       u"AM28F001",
       "AM28F001",
       "AT49F002",
       0xC000,
       0x8000,
       0xC123,
       40,
       {BLANK, NOT_BLANK, ERASE_DONE_BOX, ERASE_ERROR_BOX},
       Codes::two,
       false,
       {},
       {}},
      // Pages of 0x80 with 50 ms each: 0x80 pages of the slice, and the whole
      // chip in the blank check.
      {"W29EE512",
       u"W29EE512",
       "W29EE512",
       "I28F001BX-T",
       0x8000,
       0x4000,
       0x8123,
       40,
       {BLANK, NOT_BLANK, PAGE_OFFSET_REFUSED, ERASE_QUESTION},
       Codes::none,
       false,
       {},
       {}},
  };
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
  static int row_index(const RowCase& row) {
    const auto rows = catalogue_rows();
    for (size_t i = 0; i < rows.size(); ++i) {
      if (std::u16string_view(rows[i].name) == row.row) return static_cast<int>(i);
    }
    return -1;
  }

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
    lines.emplace_back("select " + std::to_string(row_index(row)));
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
  ASSERT_NE(sim::make_chip_model(row.model), nullptr) << "no simulated " << row.model;
  const char* stranger = row.stranger;
  ASSERT_NE(sim::make_chip_model(stranger), nullptr) << "no simulated " << stranger;
  ASSERT_GE(row_index(row), 0);
  const uint32_t size = row.length.value_or(catalogue_rows()[row_index(row)].size);
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

INSTANTIATE_TEST_SUITE_P(Rows, OperationMatrixTest, ::testing::ValuesIn(row_cases()),
                         [](const ::testing::TestParamInfo<RowCase>& row) {
                           return std::string(row.param.label);
                         });

}  // namespace
}  // namespace fp
