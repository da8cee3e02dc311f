// A dialog view over a real dialog window: controls by ID through the dialog
// manager, message boxes owned by the dialog.
#pragma once

#include <windows.h>

#include "ui/views.h"

namespace fp::win32 {

// UTF-16 texts of the core as the NUL-terminated wide strings of the API.
std::wstring wide(std::u16string_view text);
std::u16string utf16(const wchar_t* text);

class Win32DialogView : public DialogView {
 public:
  void attach(HWND window) { window_ = window; }
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
};

// Runs a dialog template modally; the generic dialog procedure hands its
// initialisation, commands and close requests to the logic. The result of
// EndDialog, or -1 when the dialog cannot be created.
intptr_t run_modal_dialog(HINSTANCE instance, int template_id, HWND owner, DialogLogic& logic,
                          Win32DialogView& view);

}  // namespace fp::win32
