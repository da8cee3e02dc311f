#include "frontends/win32/resources/resource_script.h"

#include <sstream>
#include <string_view>
#include <vector>

#include "platform/utf8.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"

namespace fp {
namespace {

struct WindowClass {
  const char* name;
  std::vector<std::string> styles;
};

std::string rc_text(const char16_t* text) {
  std::string quoted = "\"";
  for (const char c : to_utf8(text)) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string joined(const std::vector<std::string>& styles) {
  std::string text;
  for (const std::string& style : styles) {
    if (!text.empty()) text += " | ";
    text += style;
  }
  return text;
}

// The class and base styles of each kind, as the usual resource statements
// (EDITTEXT, LTEXT, PUSHBUTTON, ...) give them.
WindowClass window_class(const ControlTemplate& control) {
  const bool right = (control.styles & style::RIGHT) != 0;
  const bool multiline = (control.styles & style::MULTILINE) != 0;
  switch (control.kind) {
    case ControlKind::edit: {
      WindowClass edit{"Edit", {right ? "ES_RIGHT" : "ES_LEFT"}};
      if ((control.styles & style::UPPERCASE) != 0) edit.styles.emplace_back("ES_UPPERCASE");
      if ((control.styles & style::AUTO_HSCROLL) != 0) edit.styles.emplace_back("ES_AUTOHSCROLL");
      if (multiline) edit.styles.emplace_back("ES_MULTILINE");
      edit.styles.emplace_back("WS_TABSTOP");
      return edit;
    }
    case ControlKind::static_text:
      return {"Static", {right ? "SS_RIGHT" : "SS_LEFT", "WS_GROUP"}};
    case ControlKind::push_button:
    case ControlKind::default_push_button: {
      const bool is_default = control.kind == ControlKind::default_push_button;
      WindowClass button{"Button", {is_default ? "BS_DEFPUSHBUTTON" : "BS_PUSHBUTTON"}};
      if (multiline) button.styles.emplace_back("BS_MULTILINE");
      button.styles.emplace_back("WS_TABSTOP");
      return button;
    }
    case ControlKind::auto_check_box:
      return {"Button", {"BS_AUTOCHECKBOX", "WS_TABSTOP"}};
    case ControlKind::auto_radio_button:
      return {"Button", {"BS_AUTORADIOBUTTON"}};
    case ControlKind::drop_down_list:
      return {"ComboBox", {"CBS_DROPDOWNLIST", "WS_VSCROLL", "WS_TABSTOP"}};
    case ControlKind::status_bar:
      return {"msctls_statusbar32", {"CCS_BOTTOM"}};
    case ControlKind::group_box:
      return {"Button", {"BS_GROUPBOX"}};
  }
  return {"Static", {"SS_LEFT"}};
}

void add_unique(std::vector<std::string>& styles, const char* style) {
  for (const std::string& present : styles) {
    if (present == style) return;
  }
  styles.emplace_back(style);
}

void write_control(std::ostream& out, std::span<const ControlTemplate> controls, size_t index) {
  const ControlTemplate& control = controls[index];
  WindowClass window = window_class(control);
  const bool radio = control.kind == ControlKind::auto_radio_button;
  const bool after_radio = index > 0 && controls[index - 1].kind == ControlKind::auto_radio_button;
  // A run of radio buttons is one group, entered by Tab at its first button;
  // the control after it starts the next group.
  if (radio && !after_radio) {
    add_unique(window.styles, "WS_GROUP");
    add_unique(window.styles, "WS_TABSTOP");
  } else if (!radio && after_radio) {
    add_unique(window.styles, "WS_GROUP");
  }
  if ((control.styles & style::TAB_STOP) != 0) add_unique(window.styles, "WS_TABSTOP");
  if ((control.styles & style::DISABLED) != 0) window.styles.emplace_back("WS_DISABLED");
  if ((control.styles & style::HIDDEN) != 0) window.styles.emplace_back("NOT WS_VISIBLE");

  out << "    CONTROL " << rc_text(control.text) << ", " << control.id << ", \"" << window.name
      << "\", " << joined(window.styles) << ", " << control.x << ", " << control.y << ", "
      << control.width << ", " << control.height;
  if ((control.styles & style::SUNKEN) != 0) out << ", WS_EX_CLIENTEDGE";
  out << '\n';
}

std::string dialog_styles(const DialogTemplate& dialog) {
  const bool popup = (dialog.styles & dialog_style::POPUP) != 0;
  const bool sizing = (dialog.styles & dialog_style::SIZING_FRAME) != 0;
  std::vector<std::string> styles;
  if (popup && !sizing) styles.emplace_back("DS_MODALFRAME");
  styles.emplace_back("DS_CENTER");
  styles.emplace_back("DS_SETFONT");
  if (popup) styles.emplace_back("WS_POPUP");
  if ((dialog.styles & dialog_style::VISIBLE) != 0) styles.emplace_back("WS_VISIBLE");
  styles.emplace_back("WS_CAPTION");
  if ((dialog.styles & dialog_style::SYSTEM_MENU) != 0) styles.emplace_back("WS_SYSMENU");
  if (sizing) styles.emplace_back("WS_THICKFRAME");
  return joined(styles);
}

}  // namespace

std::string resource_script() {
  std::ostringstream out;
  out << "// Written by write-resource-script from ui/dialog_templates.cpp: change the\n"
         "// templates there and run it again (cmake --build --preset native --target\n"
         "// resource-script); a test fails while the two differ.\n"
         "#pragma code_page(65001)\n"
         "#include <windows.h>\n"
         "#include <commctrl.h>\n"
         "\n"
         "LANGUAGE LANG_RUSSIAN, SUBLANG_DEFAULT\n"
         "\n"
      << dlg::ICON << " ICON \"frontends/win32/resources/programmer.ico\"\n";
  for (const DialogTemplate& dialog : dialog_templates()) {
    out << '\n'
        << dialog.id << " DIALOGEX 0, 0, " << dialog.width << ", " << dialog.height << '\n'
        << "STYLE " << dialog_styles(dialog) << '\n'
        << "CAPTION " << rc_text(dialog.caption) << '\n'
        << "FONT 8, \"MS Sans Serif\"\n"
        << "BEGIN\n";
    for (size_t i = 0; i < dialog.controls.size(); ++i) write_control(out, dialog.controls, i);
    out << "END\n";
  }
  return out.str();
}

}  // namespace fp
