// What the window logic may ask of a window: controls by ID, message boxes,
// the file dialog and nested modal dialogs. The Win32 frontend implements it
// over real windows, the script frontend over an in-memory model of the same
// dialog templates. The logic never calls a toolkit itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bus/status_bar.h"

namespace fp {

class DialogView {
 public:
  virtual ~DialogView() = default;

  [[nodiscard]] virtual std::u16string text(int id) = 0;
  // 8-bit text as GetDlgItemTextA gives it: at most capacity - 1 characters.
  [[nodiscard]] virtual std::string text_8bit(int id, size_t capacity) = 0;
  virtual void set_text(int id, std::u16string_view text) = 0;
  [[nodiscard]] virtual bool checked(int id) = 0;
  virtual void set_checked(int id, bool checked) = 0;
  virtual void set_visible(int id, bool visible) = 0;
  virtual void set_enabled(int id, bool enabled) = 0;

  // Owned by this window. A null caption gives the system's default caption.
  virtual int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) = 0;

  // Ends the modal loop of this window with the result.
  virtual void end_dialog(intptr_t result) = 0;
};

// The behaviour of one modal window: the main window or a family dialog.
class DialogLogic {
 public:
  virtual ~DialogLogic() = default;
  virtual void on_init(DialogView& view) = 0;
  // The whole command value: control ID in the low 16 bits, notification high.
  virtual void on_command(DialogView& view, uint32_t command) = 0;
  // The close box (WM_CLOSE).
  virtual void on_close(DialogView& view) = 0;
};

struct FileDialogRequest {
  std::u16string initial_path;  // initial file name, the text of the path field
  size_t capacity = 1024;       // characters, terminator included
};

// The main window: its controls and message boxes as a DialogView, and what
// only it has.
class MainView : public StatusBar {
 public:
  [[nodiscard]] virtual DialogView& dialog() = 0;

  // The drop-down chip list: CB_ADDSTRING, CB_SETITEMDATA, CB_SETCURSEL, CB_GETCURSEL.
  virtual int list_add(int id, std::u16string_view text) = 0;
  virtual void list_set_item_data(int id, int index, intptr_t data) = 0;
  [[nodiscard]] virtual intptr_t list_item_data(int id, int index) = 0;
  virtual void list_select(int id, int index) = 0;
  [[nodiscard]] virtual int list_selection(int id) = 0;  // -1 when none (CB_ERR)

  virtual void set_small_icon(int icon_resource) = 0;

  // The open-file dialog; nothing when it was cancelled or failed.
  virtual std::optional<std::u16string> open_file_dialog(const FileDialogRequest& request) = 0;

  // Runs a family dialog modally, owned by the main window; its result, or
  // the value the template's creation failure gives (-1) when it cannot run.
  virtual intptr_t run_dialog(int template_id, DialogLogic& logic) = 0;
};

}  // namespace fp
