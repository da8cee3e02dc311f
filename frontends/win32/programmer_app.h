// What both Windows programs do once they have a port: reset the bus, run the
// main window modally, end.
#pragma once

#include <windows.h>

#include <functional>

#include "chips/common/programmer_context.h"
#include "frontends/win32/desktop_window.h"
#include "frontends/win32/win32_main_view.h"

namespace fp::win32 {

// prepare may hook the context and the view before the window opens.
// The exit code: 0 after the window, 1 when it could not be opened.
int run_programmer(HINSTANCE instance, PortIo& port, Clock& clock, Priority& priority,
                   AboutDetails about,
                   const std::function<void(ProgrammerContext&, Win32MainView&)>& prepare);

// A Russian error box of the program before or without its window.
void show_start_error(std::u16string_view text);

// A text with {} replaced by the value.
std::u16string with_value(std::u16string_view text, std::u16string_view value);

}  // namespace fp::win32
