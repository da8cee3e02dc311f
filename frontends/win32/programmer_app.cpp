#include "frontends/win32/programmer_app.h"

#include <commctrl.h>

#include "app/catalogue.h"
#include "app/main_window.h"
#include "ui/texts.h"

namespace fp::win32 {

int run_programmer(HINSTANCE instance, PortIo& port, Clock& clock, Priority& priority,
                   AboutDetails about,
                   const std::function<void(ProgrammerContext&, Win32MainView&)>& prepare) {
  // The status bar 1026 is a common control of the window template.
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  Win32MainView view(instance);
  ProgrammerContext context(port, clock, priority, view, chip_catalogue()[0]);
  if (prepare) prepare(context, view);
  MainWindow window(context);
  view.message_hook = desktop_window_hook(window, std::move(about), std::move(view.message_hook));

  context.bus.bus_reset();
  if (view.run(window) == -1) {
    show_start_error(text::MAIN_WINDOW_FAILED);
    return 1;
  }
  return 0;
}

void show_start_error(std::u16string_view text) {
  MessageBoxW(nullptr, wide(text).c_str(), wide(text::PROGRAMMER).c_str(), MB_OK | MB_ICONERROR);
}

std::u16string with_value(std::u16string_view text, std::u16string_view value) {
  std::u16string result(text);
  if (const size_t at = result.find(u"{}"); at != std::u16string::npos) {
    result.replace(at, 2, value);
  }
  return result;
}

}  // namespace fp::win32
