// The main window over the real modal dialog 1000: its controls, the status
// bar 1026, the chip list, the open-file dialog and the family dialogs it owns.
#pragma once

#include <windows.h>

#include <functional>

#include "frontends/win32/win32_dialog_view.h"
#include "ui/views.h"

namespace fp::win32 {

class Win32MainView final : public MainView {
 public:
  explicit Win32MainView(HINSTANCE instance) : instance_(instance) {}

  // Shows the main window modally with the logic; returns when it ends, with
  // the dialog's result (-1 when the window could not be created).
  intptr_t run(DialogLogic& logic);
  [[nodiscard]] HWND window() const { return window_.window(); }

  // Told after each family dialog ends, with its template and result.
  std::function<void(int template_id, intptr_t result)> dialog_ended;
  // Messages of the main window beyond its logic (system menu, dropped files).
  MessageHook message_hook;

  DialogView& dialog() override { return window_; }

  // StatusBar
  void set_status_text(std::u16string_view text) override;

  // MainView
  int list_add(int id, std::u16string_view text) override;
  void list_set_item_data(int id, int index, intptr_t data) override;
  [[nodiscard]] intptr_t list_item_data(int id, int index) override;
  void list_select(int id, int index) override;
  [[nodiscard]] int list_selection(int id) override;
  void set_small_icon(int icon_resource) override;
  std::optional<std::u16string> open_file_dialog(const FileDialogRequest& request) override;
  intptr_t run_dialog(int template_id, DialogLogic& logic) override;

 private:
  // Shows the last status text now, painted.
  void paint_status();

  // The main window's controls; a box it shows paints the status bar first,
  // so the box does not hide the last progress behind a stale text.
  class MainDialogView final : public Win32DialogView {
   public:
    explicit MainDialogView(Win32MainView& owner) : owner_(owner) {}
    int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) override {
      owner_.paint_status();
      return Win32DialogView::message_box(text, caption, flags);
    }

   private:
    Win32MainView& owner_;
  };

  HINSTANCE instance_;
  MainDialogView window_{*this};
  WaitCursor wait_cursor_;
  // The status bar is painted at most every STATUS_PAINT_INTERVAL_MS while an
  // operation runs; the text in between waits here.
  std::optional<std::wstring> pending_status_;
  DWORD last_status_paint_ = 0;
};

}  // namespace fp::win32
