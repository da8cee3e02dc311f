#include "platform/win32/thread_alive.h"

#include <windows.h>

namespace fp {

void show_thread_alive() {
  MSG message;
  PeekMessageW(&message, nullptr, WM_NULL, WM_NULL, PM_NOREMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE);
}

}  // namespace fp
