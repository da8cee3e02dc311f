#include "frontends/win32/port_lock.h"

#include <cwchar>

namespace fp::win32 {

std::unique_ptr<PortLock> PortLock::take(uint16_t base) {
  // Global: programs of other users' sessions reach the same port.
  wchar_t name[64];
  std::swprintf(name, sizeof name / sizeof name[0], L"Global\\flash-programmer-port-%04X",
                static_cast<unsigned>(base));
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  // Access denied: another user's program made it.
  if (mutex == nullptr) return nullptr;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::unique_ptr<PortLock>(new PortLock(mutex));
}

PortLock::~PortLock() {
  CloseHandle(mutex_);
}

}  // namespace fp::win32
