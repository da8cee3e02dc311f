// The program under test: started by the driver, so that its windows can be
// told from every other process's and its exit code read.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace fp::driver {

class TargetProcess {
 public:
  // Starts the program in the driver's current directory; throws DriverError.
  TargetProcess(const std::wstring& program, const std::wstring& arguments);
  ~TargetProcess();
  TargetProcess(const TargetProcess&) = delete;
  TargetProcess& operator=(const TargetProcess&) = delete;

  [[nodiscard]] DWORD thread_id() const { return thread_id_; }
  [[nodiscard]] DWORD process_id() const { return process_.dwProcessId; }
  [[nodiscard]] bool running() const;
  // The exit code once the process has ended within the timeout.
  [[nodiscard]] std::optional<DWORD> wait_for_exit(DWORD timeout_ms) const;
  void terminate();

  // Top-level windows of the dialog class (#32770), visible or not, the
  // top-most first.
  [[nodiscard]] std::vector<HWND> dialog_windows() const;

  // Milliseconds since the start.
  [[nodiscard]] double elapsed_ms() const;

 private:
  PROCESS_INFORMATION process_{};
  DWORD thread_id_ = 0;
  LARGE_INTEGER started_{};
};

}  // namespace fp::driver
