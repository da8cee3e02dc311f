// A dialog view over a real dialog window: controls by ID through the dialog
// manager, message boxes owned by the dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "frontends/win32/wait_cursor.h"
#include "ui/views.h"

namespace fp::win32 {

// UTF-16 texts of the core as the NUL-terminated wide strings of the API.
std::wstring wide(std::u16string_view text);
std::u16string utf16(const wchar_t* text);

// Set on a dialog window while one of its commands runs. The thread still
// answers sent messages then (it keeps showing Windows that it is alive), so
// this is how another program, such as the test driver, tells it busy.
inline constexpr wchar_t BUSY_PROPERTY[] = L"programmer.busy";

class Win32DialogView : public DialogView {
 public:
  // wait_cursor: taken away while a box of the window is open.
  void attach(HWND window, WaitCursor* wait_cursor = nullptr) {
    window_ = window;
    wait_cursor_ = wait_cursor;
  }
  [[nodiscard]] HWND window() const { return window_; }

  [[nodiscard]] std::u16string text(int id) override;
  [[nodiscard]] std::string text_8bit(int id, size_t capacity) override;
  void set_text(int id, std::u16string_view text) override;
  [[nodiscard]] bool checked(int id) override;
  void set_checked(int id, bool checked) override;
  void set_visible(int id, bool visible) override;
  void set_enabled(int id, bool enabled) override;
  int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) override;
  void end_dialog(intptr_t result) override;

 private:
  HWND window_ = nullptr;
  WaitCursor* wait_cursor_ = nullptr;
};

// Messages of a window beyond what its logic handles; the message's result
// when it handled it. Called while a command of the window runs too (from the
// message loops of its boxes and dialogs): BUSY_PROPERTY tells.
using MessageHook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

struct DialogHooks {
  MessageHook message;
  // After each command of the logic, before the window takes input again.
  std::function<void()> command_ended;
  // Shown while a click's command runs; nothing: the cursor stays.
  WaitCursor* wait_cursor = nullptr;
};

// Runs a dialog template modally; the generic dialog procedure hands its
// initialisation, commands and close requests to the logic, other messages
// to the hooks. Input waiting in the queue is dropped first: the dialog answers
// what the operator does once it shows. The result of EndDialog, or -1 when
// the dialog cannot be created.
intptr_t run_modal_dialog(HINSTANCE instance, int template_id, HWND owner, DialogLogic& logic,
                          Win32DialogView& view, const DialogHooks* hooks = nullptr);

}  // namespace fp::win32
