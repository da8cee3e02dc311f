// programmer.exe [/port ADDRESS]: the programmer on the parallel port,
// through the InpOut library. Without the library it says so and ends instead
// of running blind; a second one on the same port ends at once.
#include <windows.h>

#include "frontends/win32/port_argument.h"
#include "frontends/win32/port_lock.h"
#include "frontends/win32/programmer_app.h"
#include "platform/system_clock.h"
#include "platform/win32/inpout_port.h"
#include "platform/win32/process_priority.h"
#include "ui/texts.h"

namespace {

std::u16string port_error_text(fp::PortLoadError error) {
  const char16_t* text = fp::text::PORT_LIBRARY_MISSING;
  if (error == fp::PortLoadError::functions_missing) text = fp::text::PORT_FUNCTIONS_MISSING;
  if (error == fp::PortLoadError::driver_not_open) text = fp::text::PORT_DRIVER_NOT_OPEN;
  return fp::win32::with_value(text, fp::InpOutPort::library_name());
}

fp::win32::AboutDetails about_port(const fp::InpOutPort& port) {
  using fp::win32::with_value;
  const std::u16string path = port.library_path();
  const size_t slash = path.find_last_of(u"\\/");
  const std::u16string folder = slash == std::u16string::npos ? path : path.substr(0, slash);
  return {with_value(fp::text::ABOUT_PORT_LIBRARY, fp::InpOutPort::library_name()) + u"\r\n" +
          with_value(fp::text::ABOUT_PORT_FOLDER, folder) + u"\r\n" +
          with_value(fp::text::ABOUT_PORT_ADDRESS, fp::port_address_text(port.base()))};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  fp::remove_current_directory_from_dll_search();
  const auto argument = fp::parse_port_argument(fp::win32::utf16(command_line));
  if (const auto* error = std::get_if<fp::PortArgumentError>(&argument)) {
    fp::win32::show_start_error(fp::win32::with_value(fp::text::BAD_PORT_ARGUMENT, error->what));
    return 2;
  }
  const auto [address, named] = std::get<fp::PortArgument>(argument);
  const auto lock = fp::win32::PortLock::take(address);
  if (!lock) {
    fp::win32::show_start_error(
        fp::win32::with_value(fp::text::ALREADY_RUNNING, fp::port_address_text(address)));
    return 1;
  }
  auto loaded = fp::InpOutPort::load();
  if (const auto* error = std::get_if<fp::PortLoadError>(&loaded)) {
    fp::win32::show_start_error(port_error_text(*error));
    return 1;
  }
  fp::InpOutPort& port = *std::get<std::unique_ptr<fp::InpOutPort>>(loaded);
  port.set_base(address);
  fp::SystemClock clock;
  fp::ProcessPriority priority;
  return fp::win32::run_programmer(
      instance, port, clock, priority, about_port(port),
      [address, named](fp::ProgrammerContext&, fp::win32::Win32MainView& view) {
        // The plain start keeps the window's own caption.
        if (named) {
          view.message_hook = fp::win32::port_caption_hook(address, std::move(view.message_hook));
        }
      });
}
