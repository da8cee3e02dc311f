#include "frontends/win32/desktop_window.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "frontends/win32/port_argument.h"
#include "frontends/win32/programmer_app.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/texts.h"

namespace fp::win32 {
namespace {

// System menu commands are below 0xF000 and keep the low four bits clear.
constexpr UINT ABOUT_COMMAND = 0x0010;

// programmer.exe often runs as administrator (the port driver needs it once);
// Explorer's drops then need letting through. The call is missing before
// Windows 7, where nothing filters them.
void allow_drops_from_lower_integrity(HWND window) {
  using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return;
  const auto filter = reinterpret_cast<FilterFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
  if (filter == nullptr) return;
  constexpr DWORD ALLOW = 1;
  constexpr UINT COPY_GLOBAL_DATA = 0x0049;  // carries the dropped names across
  for (const UINT message : {static_cast<UINT>(WM_DROPFILES), COPY_GLOBAL_DATA}) {
    filter(window, message, ALLOW, nullptr);
  }
}

void add_about_to_system_menu(HWND window) {
  const HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, ABOUT_COMMAND, wide(text::ABOUT_MENU).c_str());
}

std::u16string window_caption(HWND window) {
  std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  caption.resize(static_cast<size_t>(
      GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
  return utf16(caption.c_str());
}

struct OtherWindows {
  HWND own;
  std::vector<POINT> corners;
};

BOOL CALLBACK note_other_main_window(HWND window, LPARAM data) {
  auto& found = *reinterpret_cast<OtherWindows*>(data);
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (window != found.own && IsWindowVisible(window) &&
      std::wstring_view(class_name) == L"#32770" &&
      caption_without_port(window_caption(window)) == find_dialog_template(dlg::MAIN)->caption) {
    RECT place{};
    GetWindowRect(window, &place);
    found.corners.push_back({place.left, place.top});
  }
  return TRUE;
}

// The top-left corners of the other programs' main windows on the screen.
std::vector<POINT> other_main_windows(HWND own) {
  OtherWindows search{own, {}};
  EnumWindows(note_other_main_window, reinterpret_cast<LPARAM>(&search));
  return search.corners;
}

// Windows opens every copy of the centred window at the same place, each
// hiding the one before: step down and right, as cascaded windows do, while
// another copy's window sits there and the step stays on the work area.
void move_off_other_windows(HWND window) {
  const std::vector<POINT> others = other_main_windows(window);
  RECT place{};
  GetWindowRect(window, &place);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  const auto taken = [&others](const RECT& at) {
    return std::any_of(others.begin(), others.end(), [&at](const POINT& corner) {
      return std::abs(corner.x - at.left) < 4 && std::abs(corner.y - at.top) < 4;
    });
  };
  RECT moved = place;
  while (taken(moved)) {
    OffsetRect(&moved, step, step);
    if (moved.right > monitor.rcWork.right || moved.bottom > monitor.rcWork.bottom) return;
  }
  if (moved.left != place.left) {
    SetWindowPos(window, nullptr, moved.left, moved.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// The first dropped name, when it is a file whose path the field can hold.
std::optional<std::u16string> dropped_file(HDROP drop) {
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return std::nullopt;
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  if (length == 0 || length >= IMAGE_PATH_CAPACITY) return std::nullopt;
  std::wstring path(length + 1, L'\0');
  if (DragQueryFileW(drop, 0, path.data(), length + 1) != length) return std::nullopt;
  path.resize(length);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return utf16(path.c_str());
}

}  // namespace

std::u16string about_text(const AboutDetails& about) {
  // The program's name is the main window's caption.
  std::u16string result(find_dialog_template(dlg::MAIN)->caption);
  result += u"\r\n" + with_value(text::ABOUT_VERSION, u"" FP_VERSION);
  if (!about.lines.empty()) result += u"\r\n\r\n" + about.lines;
  return result;
}

MessageHook port_caption_hook(uint16_t base, MessageHook next) {
  return [base, next = std::move(next)](HWND window, UINT message, WPARAM wparam,
                                        LPARAM lparam) -> std::optional<LRESULT> {
    if (message == WM_INITDIALOG) {
      const std::u16string caption =
          caption_with_port(find_dialog_template(dlg::MAIN)->caption, base);
      SetWindowTextW(window, wide(caption).c_str());
    }
    if (next) return next(window, message, wparam, lparam);
    return std::nullopt;
  };
}

MessageHook desktop_window_hook(MainWindow& main_window, AboutDetails about, MessageHook next) {
  return [&main_window, about = std::move(about), next = std::move(next)](
             HWND window, UINT message, WPARAM wparam, LPARAM lparam) -> std::optional<LRESULT> {
    // While a command runs, its boxes and dialogs have the operator's attention.
    const bool busy = GetPropW(window, BUSY_PROPERTY) != nullptr;
    switch (message) {
      case WM_INITDIALOG:
        move_off_other_windows(window);
        add_about_to_system_menu(window);
        DragAcceptFiles(window, TRUE);
        allow_drops_from_lower_integrity(window);
        break;
      case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == ABOUT_COMMAND && !busy) {
          MessageBoxW(window, wide(about_text(about)).c_str(), wide(text::ABOUT_CAPTION).c_str(),
                      MB_OK | MB_ICONINFORMATION);
          return 0;
        }
        break;
      case WM_DROPFILES: {
        const auto drop = reinterpret_cast<HDROP>(wparam);
        const auto path = dropped_file(drop);
        DragFinish(drop);
        if (path && !busy) main_window.file_chosen(*path);
        return 0;
      }
      default:
        break;
    }
    if (next) return next(window, message, wparam, lparam);
    return std::nullopt;
  };
}

}  // namespace fp::win32
