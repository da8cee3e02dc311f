// The 32-bit build runs on Windows XP, whose kernel32 has no GetTickCount64;
// the static thread library calls it all the same. This definition of its
// import slot comes first at link time, so the program imports nothing XP
// lacks: the system's function where there is one, else GetTickCount
// extended past its 49-day wrap.
#include <windows.h>

namespace {

ULONGLONG WINAPI tick_count_64() {
  using Function = ULONGLONG(WINAPI*)();
  static const auto system = reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
  if (system != nullptr) return system();
  // XP: the wraps are counted as the low 32 bits go round (callers poll
  // far more often than every 49 days).
  static volatile LONG64 last = 0;
  const LONG64 seen = last;
  const auto low = static_cast<ULONGLONG>(GetTickCount());
  ULONGLONG now = (static_cast<ULONGLONG>(seen) & ~0xFFFFFFFFULL) | low;
  if (now < static_cast<ULONGLONG>(seen)) now += 0x100000000ULL;
  InterlockedCompareExchange64(&last, static_cast<LONG64>(now), seen);
  return now;
}

}  // namespace

extern "C" {
// The name the import library gives the slot of kernel32's GetTickCount64.
extern void* const tick_count_64_slot __asm__("__imp__GetTickCount64@0");
void* const tick_count_64_slot = reinterpret_cast<void*>(&tick_count_64);
}
