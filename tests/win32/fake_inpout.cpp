// A stand-in for the port library with its two functions, for the tests of
// where programmer.exe looks for it and which port it drives. The port reads
// as all zeros, so the board's timer ends its period at once. When the
// current folder has a file port-log.txt, the addresses the program used are
// written to it as the program ends, one a line, in hexadecimal.
#include <windows.h>

#include <cstdio>
#include <set>

namespace {

struct PortLog {
  std::set<unsigned> addresses;
  bool wanted = GetFileAttributesW(L"port-log.txt") != INVALID_FILE_ATTRIBUTES;

  void write() const {
    if (!wanted) return;
    FILE* file = _wfopen(L"port-log.txt", L"w");
    if (file == nullptr) return;
    for (const unsigned address : addresses) std::fprintf(file, "%04X\n", address);
    std::fclose(file);
  }
};

// One program at a time loads the library: its log lives as long as it does.
PortLog& log() {
  static PortLog instance;
  return instance;
}

}  // namespace

extern "C" {

__declspec(dllexport) void __stdcall Out32(short port, short) {
  log().addresses.insert(static_cast<unsigned short>(port));
}

__declspec(dllexport) short __stdcall Inp32(short port) {
  log().addresses.insert(static_cast<unsigned short>(port));
  return 0;
}

__declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen() {
  return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_DETACH) log().write();
  return TRUE;
}
}
