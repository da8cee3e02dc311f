// Reading and changing windows of another process: only messages that the
// system carries across processes (WM_GETTEXT, WM_SETTEXT, BM_GETCHECK, ...)
// and window attributes that any process may query.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace fp::driver {

// The driver cannot go on: a window that does not answer, a timeout, a window
// that should not be there.
class DriverError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::wstring window_text(HWND window);
void set_window_text(HWND window, const std::wstring& text);
std::wstring class_name(HWND window);
bool is_dialog_window(HWND window);  // class #32770
LONG window_style(HWND window);
int control_id(HWND window);
HWND owner_of(HWND window);
std::vector<HWND> children_of(HWND window);

// SendMessageTimeout with the driver's patience; throws when the target hangs.
LRESULT send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

// Waits until the thread of the window takes sent messages again: it is idle,
// or a nested modal loop (message box, dialog) runs. False if the window is gone.
bool wait_until_responsive(HWND window, DWORD timeout_ms);

// Prints the window and its children to standard error (for writing scenarios).
void describe(HWND window);

}  // namespace fp::driver
