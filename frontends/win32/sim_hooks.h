// What programmer-sim.exe shows its GUI test driver beyond the windows
// themselves: the result of the last family dialog, which no window keeps
// once the dialog has ended (window properties of the main window), and the
// channel for the board's own commands.
#pragma once

#include <windows.h>

namespace fp::win32 {

// How many family dialogs have ended, and the result of the last one.
inline constexpr wchar_t DIALOGS_ENDED_PROPERTY[] = L"programmer-sim.dialogs-ended";
inline constexpr wchar_t DIALOG_RESULT_PROPERTY[] = L"programmer-sim.dialog-result";

// The command line that leaves the socket empty instead of following the list.
inline constexpr wchar_t EMPTY_SOCKET_OPTION[] = L"--empty-socket";

// The simulated board's own script commands (insert, fill, ...) reach it as
// WM_COPYDATA to the main window: the script line in UTF-8, wParam the
// window that gets the answer, a WM_COPYDATA of its own with what the
// command printed or why it failed. programmer.exe does not take them.
inline constexpr ULONG_PTR SIM_COMMAND = 0x53494D31;  // "SIM1"
inline constexpr ULONG_PTR SIM_REPLY_DONE = 0x53494D32;
inline constexpr ULONG_PTR SIM_REPLY_FAILED = 0x53494D33;
// Answered at once with SIM_REPLY_DONE and the board's clock in microseconds
// (decimal), while the thread is wherever it took the message: the driver
// looks at the windows meanwhile, and tells an operation that goes on from
// one that hangs.
inline constexpr ULONG_PTR SIM_PING = 0x53494D34;

// Posted to the main window behind input the driver posted; its wParam is
// kept in INPUT_READ_PROPERTY once the thread has read it, and with it all
// that was posted to the thread before (one queue, read in order). The
// property is 1 from the start: the program takes the marks.
inline constexpr UINT SIM_INPUT_MARK = WM_APP + 0x53;
inline constexpr wchar_t INPUT_READ_PROPERTY[] = L"programmer-sim.input-read";

}  // namespace fp::win32
