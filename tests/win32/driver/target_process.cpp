#include "tests/win32/driver/target_process.h"

#include "tests/win32/driver/remote_window.h"

namespace fp::driver {
namespace {

struct Search {
  DWORD process_id;
  std::vector<HWND>* found;
};

BOOL CALLBACK collect_dialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (process_id == search->process_id && is_dialog_window(window)) {
    search->found->push_back(window);
  }
  return TRUE;
}

}  // namespace

TargetProcess::TargetProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring command_line = L"\"" + program + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  QueryPerformanceCounter(&started_);
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process_)) {
    throw DriverError("cannot start the program (error " + std::to_string(GetLastError()) + ")");
  }
  thread_id_ = process_.dwThreadId;
}

TargetProcess::~TargetProcess() {
  if (running()) terminate();
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool TargetProcess::running() const {
  return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> TargetProcess::wait_for_exit(DWORD timeout_ms) const {
  if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void TargetProcess::terminate() {
  TerminateProcess(process_.hProcess, 255);
  WaitForSingleObject(process_.hProcess, 5000);
}

std::vector<HWND> TargetProcess::dialog_windows() const {
  std::vector<HWND> found;
  Search search{process_.dwProcessId, &found};
  EnumWindows(collect_dialog, reinterpret_cast<LPARAM>(&search));
  return found;
}

double TargetProcess::elapsed_ms() const {
  LARGE_INTEGER now{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - started_.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace fp::driver
