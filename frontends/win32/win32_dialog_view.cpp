#include "frontends/win32/win32_dialog_view.h"

#include <optional>
#include <string>

#include "frontends/win32/input_queue.h"

namespace fp::win32 {
namespace {

struct DialogSession {
  DialogLogic& logic;
  Win32DialogView& view;
  const DialogHooks* hooks;
  // A command of this window is running: its own boxes and dialogs may run
  // message loops, and nothing sent from outside starts another one meanwhile.
  bool busy = false;
};

// A button click or key that may have started an operation; typing and
// focus changes are no operations.
bool is_click(WPARAM wparam) {
  return HIWORD(wparam) == BN_CLICKED;
}

INT_PTR CALLBACK dialog_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* session = reinterpret_cast<DialogSession*>(lparam);
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    WaitCursor* const wait_cursor =
        session->hooks != nullptr ? session->hooks->wait_cursor : nullptr;
    session->view.attach(window, wait_cursor);
    if (wait_cursor != nullptr) SetPropW(window, WAIT_CURSOR_PROPERTY, wait_cursor->cursor());
    session->logic.on_init(session->view);
    if (session->hooks != nullptr && session->hooks->message) {
      session->hooks->message(window, message, wparam, 0);
    }
    return TRUE;  // the dialog manager sets the default focus
  }
  auto* session = reinterpret_cast<DialogSession*>(GetWindowLongPtrW(window, DWLP_USER));
  if (session == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (session->busy) return TRUE;
      session->busy = true;
      SetPropW(window, BUSY_PROPERTY, reinterpret_cast<HANDLE>(1));
      {
        // A click may start a chip operation, which holds the thread: the
        // pointer tells the operator so.
        std::optional<WaitCursor::Shown> waiting;
        if (is_click(wparam) && session->hooks != nullptr &&
            session->hooks->wait_cursor != nullptr) {
          waiting.emplace(*session->hooks->wait_cursor);
        }
        // The whole value: the logic acts on clicks and selection changes only.
        session->logic.on_command(session->view, static_cast<uint32_t>(wparam));
      }
      RemovePropW(window, BUSY_PROPERTY);
      session->busy = false;
      if (session->hooks != nullptr && session->hooks->command_ended) {
        session->hooks->command_ended();
      }
      // Clicks and keys made while an operation held the thread are not for
      // what the window shows now.
      if (is_click(wparam)) discard_queued_input();
      return TRUE;
    case WM_CLOSE:
      if (!session->busy) session->logic.on_close(session->view);
      return TRUE;
    case WM_SETCURSOR:
      // Whatever the pointer is over, while the command runs it waits.
      if (session->hooks != nullptr && session->hooks->wait_cursor != nullptr &&
          session->hooks->wait_cursor->shown()) {
        SetCursor(session->hooks->wait_cursor->cursor());
        SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      break;
    default:
      break;
  }
  if (session->hooks != nullptr && session->hooks->message) {
    if (const auto result = session->hooks->message(window, message, wparam, lparam)) {
      SetWindowLongPtrW(window, DWLP_MSGRESULT, *result);
      return TRUE;
    }
  }
  return FALSE;
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
  // A box answers what the operator does from now on, not what was queued
  // while the operation before it ran.
  discard_queued_input();
  const WaitCursor::Paused paused(wait_cursor_);
  return MessageBoxW(window_, wide(text).c_str(),
                     caption != nullptr ? caption_text.c_str() : nullptr, flags);
}

void Win32DialogView::end_dialog(intptr_t result) {
  EndDialog(window_, result);
}

intptr_t run_modal_dialog(HINSTANCE instance, int template_id, HWND owner, DialogLogic& logic,
                          Win32DialogView& view, const DialogHooks* hooks) {
  DialogSession session{logic, view, hooks};
  discard_queued_input();
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(template_id), owner, dialog_procedure,
                         reinterpret_cast<LPARAM>(&session));
}

}  // namespace fp::win32
