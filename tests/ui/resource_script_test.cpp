// The resource script of the Windows program: the committed file is the one
// the dialog templates give, and the templates come out as the window layouts
// say (styles of each dialog, hidden and disabled controls, sunken edits).
#include "frontends/win32/resources/resource_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fp {
namespace {

struct DialogBlock {
  std::string style;
  std::string caption;
  std::map<int, std::string> controls;  // by ID; -1 statics overwrite each other
};

std::map<int, DialogBlock> parse_dialogs(const std::string& script) {
  std::map<int, DialogBlock> dialogs;
  std::istringstream lines(script);
  std::string line;
  DialogBlock* current = nullptr;
  while (std::getline(lines, line)) {
    if (line.find(" DIALOGEX ") != std::string::npos) {
      current = &dialogs[std::stoi(line)];
    } else if (current != nullptr && line.rfind("STYLE ", 0) == 0) {
      current->style = line.substr(6);
    } else if (current != nullptr && line.rfind("CAPTION ", 0) == 0) {
      current->caption = line.substr(8);
    } else if (current != nullptr && line.rfind("    CONTROL ", 0) == 0) {
      // CONTROL "text", id, ...: the text has no comma in any template.
      const size_t comma = line.find("\", ");
      current->controls[std::stoi(line.substr(comma + 3))] = line;
    }
  }
  return dialogs;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ResourceScript, CommittedFileIsTheOneTheTemplatesGive) {
  std::ifstream file(FP_RESOURCE_SCRIPT, std::ios::binary);
  ASSERT_TRUE(file) << FP_RESOURCE_SCRIPT;
  const std::string committed{std::istreambuf_iterator<char>(file), {}};
  EXPECT_EQ(committed, resource_script()) << "frontends/win32/resources/programmer.rc is out of "
                                             "date: cmake --build --preset native --target "
                                             "resource-script";
}

TEST(ResourceScript, ReadsAsUtf8WithTheIcon) {
  const std::string script = resource_script();
  EXPECT_TRUE(has(script, "#pragma code_page(65001)\n"));
  EXPECT_TRUE(has(script, "\n30 ICON \"frontends/win32/resources/programmer.ico\"\n"));
  EXPECT_TRUE(has(script, "CAPTION \"Программатор FLASH\"\n"));
}

TEST(ResourceScript, DialogStylesAreTheLayouts) {
  const auto dialogs = parse_dialogs(resource_script());
  ASSERT_EQ(dialogs.size(), 5u);
  EXPECT_EQ(dialogs.at(1000).style,
            "DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU");
  // Block selection and ATtiny2313: visible, caption, centred, no system menu.
  EXPECT_EQ(dialogs.at(1029).style, "DS_CENTER | DS_SETFONT | WS_VISIBLE | WS_CAPTION");
  EXPECT_EQ(dialogs.at(1054).style, "DS_CENTER | DS_SETFONT | WS_VISIBLE | WS_CAPTION");
  EXPECT_EQ(dialogs.at(1040).style,
            "DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME");
  EXPECT_FALSE(has(dialogs.at(1045).style, "WS_SYSMENU"));
  EXPECT_EQ(dialogs.at(1045).caption, "\"ID\"");
  EXPECT_EQ(dialogs.at(1040).caption, "\"Выбор блока для операции\"");
}

TEST(ResourceScript, ControlsKeepPlaceStateAndKind) {
  const auto dialogs = parse_dialogs(resource_script());
  const auto& main = dialogs.at(1000).controls;
  EXPECT_EQ(main.size(), 20u);
  EXPECT_TRUE(has(main.at(1010), "NOT WS_VISIBLE, 8, 58, 37, 12, WS_EX_CLIENTEDGE"));
  EXPECT_TRUE(has(main.at(1010), "ES_RIGHT | ES_UPPERCASE | ES_AUTOHSCROLL"));
  EXPECT_FALSE(has(main.at(1001), "NOT WS_VISIBLE"));
  EXPECT_TRUE(has(main.at(1), "\"Файл\", 1, \"Button\", BS_DEFPUSHBUTTON"));
  EXPECT_TRUE(has(main.at(1018), "\"ComboBox\", CBS_DROPDOWNLIST"));
  EXPECT_FALSE(has(main.at(1018), "CBS_SORT"));
  EXPECT_TRUE(has(main.at(1026), "\"msctls_statusbar32\""));

  const auto& blocks = dialogs.at(1029).controls;
  EXPECT_TRUE(has(blocks.at(1039), "NOT WS_VISIBLE, 7, 78, 54, 10"));
  EXPECT_TRUE(has(blocks.at(1038), "SS_RIGHT"));
  EXPECT_TRUE(has(blocks.at(1), "\"ОК\", 1, \"Button\", BS_PUSHBUTTON"));  // Cyrillic, not default

  const auto& erase = dialogs.at(1040).controls;
  EXPECT_TRUE(has(erase.at(1014), "WS_DISABLED"));
  EXPECT_TRUE(has(erase.at(1041), "BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP"));
  EXPECT_FALSE(has(erase.at(1042), "WS_GROUP"));
  // The edit after the radio buttons is not part of their group.
  EXPECT_TRUE(has(erase.at(1014), "WS_GROUP"));

  const auto& id = dialogs.at(1045).controls;
  for (const auto& [control_id, line] : id) EXPECT_FALSE(has(line, "BS_DEFPUSHBUTTON")) << line;

  const auto& fuses = dialogs.at(1054).controls;
  EXPECT_TRUE(has(fuses.at(1077),
                  "\"CKDIV8\", 1077, \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, "
                  "10, 14, 62, 13"));
  EXPECT_TRUE(has(fuses.at(1060),
                  "\"LB1\", 1060, \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, "
                  "229, 112, 62, 13"));
  EXPECT_TRUE(has(fuses.at(1069), "BS_PUSHBUTTON | BS_MULTILINE"));
  EXPECT_TRUE(has(fuses.at(1078), "\"ХХ-ХХ-ХХ\", 1078, \"Edit\""));
}

}  // namespace
}  // namespace fp
