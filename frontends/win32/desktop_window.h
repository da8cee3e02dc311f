// What a Windows user expects of the main window beyond the program's own
// controls: "О программе..." in the system menu, files dropped onto the
// window taken as the "Файл" button takes a chosen one, a second program's
// window opened beside the first instead of on top of it.
#pragma once

#include <windows.h>

#include <string>

#include "app/main_window.h"
#include "frontends/win32/win32_dialog_view.h"

namespace fp::win32 {

// The lines of the About box below the name and version.
struct AboutDetails {
  std::u16string lines;
};

// The main window's message hook; other messages go on to next.
MessageHook desktop_window_hook(MainWindow& window, AboutDetails about, MessageHook next);

// Names the port in the main window's caption; other messages go on to next.
MessageHook port_caption_hook(uint16_t base, MessageHook next);

// The text of the About box.
std::u16string about_text(const AboutDetails& about);

}  // namespace fp::win32
