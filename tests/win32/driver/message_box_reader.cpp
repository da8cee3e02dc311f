#include "tests/win32/driver/message_box_reader.h"

#include <atomic>
#include <memory>
#include <thread>

#include "tests/win32/driver/remote_window.h"
#include "tests/win32/driver/screen_capture.h"
#include "ui/message_box.h"

namespace fp::driver {
namespace {

constexpr int MESSAGE_TEXT_ID = 0xFFFF;
constexpr DWORD ICON_PAINT_TIMEOUT_MS = 5000;

HWND find_child(HWND window, bool (*wanted)(HWND)) {
  for (HWND child : children_of(window)) {
    if (wanted(child)) return child;
  }
  return nullptr;
}

bool is_text_control(HWND child) {
  return (control_id(child) & 0xFFFF) == MESSAGE_TEXT_ID && class_name(child) == L"Static" &&
         (window_style(child) & SS_TYPEMASK) != SS_ICON;
}

bool is_icon_control(HWND child) {
  return class_name(child) == L"Static" && (window_style(child) & SS_TYPEMASK) == SS_ICON &&
         IsWindowVisible(child);
}

bool has_button(HWND box, int id) {
  const HWND button = GetDlgItem(box, id);
  return button != nullptr && IsWindowVisible(button);
}

// The system's icons differ in colour: a red disc (error), a yellow triangle
// (warning), a blue sign (information). Nothing known yet: not painted.
uint32_t icon_kind(const Capture& capture) {
  int red = 0;
  int yellow = 0;
  int blue = 0;
  for (const uint32_t pixel : capture.pixels) {
    const uint32_t r = (pixel >> 16) & 0xFF;
    const uint32_t g = (pixel >> 8) & 0xFF;
    const uint32_t b = pixel & 0xFF;
    if (r > 160 && g < 100 && b < 100) ++red;
    if (r > 180 && g > 150 && b < 100) ++yellow;
    if (b > 150 && r < 120 && g < 200) ++blue;
  }
  const int enough = static_cast<int>(capture.pixels.size() / 10);
  if (red >= enough && red >= yellow && red >= blue) return mb::ICON_ERROR;
  if (yellow >= enough && yellow >= blue) return mb::ICON_WARNING;
  if (blue >= enough) return mb::ICON_INFORMATION;
  return 0;
}

uint32_t read_icon(HWND box) {
  const HWND icon = find_child(box, is_icon_control);
  if (icon == nullptr || send(icon, STM_GETICON) == 0) return 0;
  const DWORD deadline = GetTickCount() + ICON_PAINT_TIMEOUT_MS;
  while (true) {
    RECT area{};
    GetWindowRect(icon, &area);
    if (const uint32_t kind = icon_kind(capture_screen(area)); kind != 0) return kind;
    if (GetTickCount() > deadline)
      throw DriverError("the icon of the message box is not one known");
    Sleep(10);
  }
}

// The button drawn as the default one: what Enter would press.
int default_button(HWND box) {
  for (const int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
    const HWND button = GetDlgItem(box, id);
    if (button != nullptr && IsWindowVisible(button) &&
        (window_style(button) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      return id;
    }
  }
  const LRESULT default_id = send(box, DM_GETDEFID);
  return HIWORD(default_id) == DC_HASDEFID ? LOWORD(default_id) : IDOK;
}

}  // namespace

bool is_message_box(HWND window) {
  return find_child(window, is_text_control) != nullptr &&
         (has_button(window, IDOK) || has_button(window, IDYES) || has_button(window, IDNO));
}

ShownBox read_message_box(HWND box) {
  ShownBox shown;
  shown.text = window_text(find_child(box, is_text_control));
  shown.caption = window_text(box);
  const bool yes_no = has_button(box, IDYES) && has_button(box, IDNO);
  shown.default_answer = default_button(box);
  shown.flags = yes_no ? mb::YESNO : mb::OK;
  shown.flags |= read_icon(box);
  if (yes_no && shown.default_answer == IDNO) shown.flags |= mb::DEFBUTTON2;
  return shown;
}

namespace {

// The 32-bit calling convention of callbacks: no lambda converts to it.
BOOL CALLBACK take_caption(HWND window, LPARAM result) {
  if (!is_dialog_window(window) || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<std::wstring*>(result) = window_text(window);
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

}  // namespace

const std::wstring& default_caption() {
  static const std::wstring caption = [] {
    std::wstring found;
    // A box of the driver's own, on a thread of its own: read its caption, close it.
    auto thread = std::make_shared<std::atomic<DWORD>>(0);
    std::thread shower([thread] {
      *thread = GetCurrentThreadId();
      MessageBoxW(nullptr, L"", nullptr, MB_OK);
    });
    for (int attempt = 0; attempt < 500 && found.empty(); ++attempt) {
      Sleep(10);
      if (*thread == 0) continue;
      EnumThreadWindows(*thread, take_caption, reinterpret_cast<LPARAM>(&found));
    }
    if (found.empty()) {
      shower.detach();
      throw DriverError("cannot learn the default caption of a message box");
    }
    shower.join();
    return found;
  }();
  return caption;
}

}  // namespace fp::driver
