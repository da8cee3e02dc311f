#include "ui/win32/win32_dialog_view.h"

#include <string>

namespace fp::win32 {
namespace {

struct DialogSession {
  DialogLogic& logic;
  Win32DialogView& view;
};

INT_PTR CALLBACK dialog_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* session = reinterpret_cast<DialogSession*>(lparam);
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    session->view.attach(window);
    session->logic.on_init(session->view);
    return TRUE;  // the dialog manager sets the default focus
  }
  auto* session = reinterpret_cast<DialogSession*>(GetWindowLongPtrW(window, DWLP_USER));
  if (session == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      // The whole value: the logic acts on clicks and selection changes only.
      session->logic.on_command(session->view, static_cast<uint32_t>(wparam));
      return TRUE;
    case WM_CLOSE:
      session->logic.on_close(session->view);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

std::wstring wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::u16string utf16(const wchar_t* text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

std::u16string Win32DialogView::text(int id) {
  const HWND control = GetDlgItem(window_, id);
  if (control == nullptr) return {};
  std::wstring buffer(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  const UINT length = GetDlgItemTextW(window_, id, buffer.data(), static_cast<int>(buffer.size()));
  buffer.resize(length);
  return std::u16string(buffer.begin(), buffer.end());
}

std::string Win32DialogView::text_8bit(int id, size_t capacity) {
  if (capacity == 0) return {};
  std::string buffer(capacity, '\0');
  const UINT length = GetDlgItemTextA(window_, id, buffer.data(), static_cast<int>(capacity));
  buffer.resize(length);
  return buffer;
}

void Win32DialogView::set_text(int id, std::u16string_view text) {
  SetDlgItemTextW(window_, id, wide(text).c_str());
}

bool Win32DialogView::checked(int id) {
  return IsDlgButtonChecked(window_, id) != BST_UNCHECKED;
}

void Win32DialogView::set_checked(int id, bool checked) {
  CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Win32DialogView::set_visible(int id, bool visible) {
  if (const HWND control = GetDlgItem(window_, id))
    ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

void Win32DialogView::set_enabled(int id, bool enabled) {
  if (const HWND control = GetDlgItem(window_, id)) EnableWindow(control, enabled);
}

int Win32DialogView::message_box(std::u16string_view text, const char16_t* caption,
                                 uint32_t flags) {
  const std::wstring caption_text = caption != nullptr ? wide(caption) : std::wstring();
  return MessageBoxW(window_, wide(text).c_str(),
                     caption != nullptr ? caption_text.c_str() : nullptr, flags);
}

void Win32DialogView::end_dialog(intptr_t result) {
  EndDialog(window_, result);
}

intptr_t run_modal_dialog(HINSTANCE instance, int template_id, HWND owner, DialogLogic& logic,
                          Win32DialogView& view) {
  DialogSession session{logic, view};
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(template_id), owner, dialog_procedure,
                         reinterpret_cast<LPARAM>(&session));
}

}  // namespace fp::win32
