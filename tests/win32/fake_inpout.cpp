// A stand-in for the port library with its two functions, for the tests of
// where programmer.exe looks for it. The port reads as all zeros, so the
// board's timer ends its period at once.
#include <windows.h>

extern "C" {

__declspec(dllexport) void __stdcall Out32(short, short) {}

__declspec(dllexport) short __stdcall Inp32(short) {
  return 0;
}

__declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen() {
  return TRUE;
}
}
