// programmer.exe: the programmer on the parallel port, through the InpOut
// library. Without the library it says so and ends instead of running blind.
#include <windows.h>

#include "platform/system_clock.h"
#include "platform/win32/inpout_port.h"
#include "platform/win32/process_priority.h"
#include "ui/texts.h"
#include "ui/win32/programmer_app.h"

namespace {

std::u16string port_error_text(fp::PortLoadError error) {
  const char16_t* text = fp::text::PORT_LIBRARY_MISSING;
  if (error == fp::PortLoadError::functions_missing) text = fp::text::PORT_FUNCTIONS_MISSING;
  if (error == fp::PortLoadError::driver_not_open) text = fp::text::PORT_DRIVER_NOT_OPEN;
  return fp::win32::with_value(text, fp::InpOutPort::library_name());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  fp::remove_current_directory_from_dll_search();
  auto loaded = fp::InpOutPort::load();
  if (const auto* error = std::get_if<fp::PortLoadError>(&loaded)) {
    MessageBoxW(nullptr, fp::win32::wide(port_error_text(*error)).c_str(),
                fp::win32::wide(fp::text::PROGRAMMER).c_str(), MB_OK | MB_ICONERROR);
    return 1;
  }
  fp::InpOutPort& port = *std::get<std::unique_ptr<fp::InpOutPort>>(loaded);
  fp::SystemClock clock;
  fp::ProcessPriority priority;
  return fp::win32::run_programmer(instance, port, clock, priority, {});
}
