// What a headless frontend does for its windows beyond their controls: it
// answers message boxes, hears the status text, plays the file dialog and
// runs nested dialogs its own way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/views.h"

namespace fp::headless {

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  virtual int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) = 0;
  // The main window's status bar shows the text now.
  virtual void status_text(std::u16string_view text) = 0;
  // Nothing when the dialog is cancelled.
  virtual std::optional<std::u16string> open_file_dialog(const FileDialogRequest& request) = 0;
  virtual intptr_t run_dialog(int template_id, DialogLogic& logic) = 0;
};

}  // namespace fp::headless
