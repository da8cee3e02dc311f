#include "tests/win32/driver/remote_window.h"

#include <cstdio>

namespace fp::driver {
namespace {

constexpr UINT SEND_TIMEOUT_MS = 20000;

BOOL CALLBACK collect_child(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

}  // namespace

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, SEND_TIMEOUT_MS, &result) ==
      0) {
    throw DriverError("window " + std::to_string(reinterpret_cast<uintptr_t>(window)) +
                      " does not answer message " + std::to_string(message));
  }
  return static_cast<LRESULT>(result);
}

bool wait_until_responsive(HWND window, DWORD timeout_ms) {
  if (!IsWindow(window)) return false;
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout_ms, &result) != 0) {
    return true;
  }
  if (!IsWindow(window)) return false;
  throw DriverError("the program does not answer for " + std::to_string(timeout_ms) + " ms");
}

std::wstring window_text(HWND window) {
  const auto length = static_cast<size_t>(send(window, WM_GETTEXTLENGTH));
  std::wstring text(length + 1, L'\0');
  const auto copied = static_cast<size_t>(
      send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied < length ? copied : length);
  return text;
}

void set_window_text(HWND window, const std::wstring& text) {
  send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring class_name(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<size_t>(length > 0 ? length : 0));
}

bool is_dialog_window(HWND window) {
  return class_name(window) == L"#32770";
}

LONG window_style(HWND window) {
  return GetWindowLongW(window, GWL_STYLE);
}

int control_id(HWND window) {
  return GetDlgCtrlID(window);
}

HWND owner_of(HWND window) {
  return GetWindow(window, GW_OWNER);
}

std::vector<HWND> children_of(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, collect_child, reinterpret_cast<LPARAM>(&children));
  return children;
}

void describe(HWND window) {
  const auto line = [](HWND w, const char* indent) {
    RECT rect{};
    GetWindowRect(w, &rect);
    std::fwprintf(stderr,
                  L"%hs%p id=%d class=%ls style=%08lX exstyle=%08lX rect=%ld,%ld,%ld,%ld "
                  L"text=\"%ls\"\n",
                  indent, static_cast<void*>(w), control_id(w), class_name(w).c_str(),
                  static_cast<unsigned long>(window_style(w)),
                  static_cast<unsigned long>(GetWindowLongW(w, GWL_EXSTYLE)), rect.left, rect.top,
                  rect.right, rect.bottom, window_text(w).c_str());
  };
  line(window, "");
  for (HWND child : children_of(window)) line(child, "  ");
}

}  // namespace fp::driver
