// What programmer-sim.exe shows its GUI test driver beyond the windows
// themselves: the result of the last family dialog, which no window keeps
// once the dialog has ended. Window properties of the main window.
#pragma once

namespace fp::win32 {

// How many family dialogs have ended, and the result of the last one.
inline constexpr wchar_t DIALOGS_ENDED_PROPERTY[] = L"programmer-sim.dialogs-ended";
inline constexpr wchar_t DIALOG_RESULT_PROPERTY[] = L"programmer-sim.dialog-result";

// The command line that leaves the socket empty instead of following the list.
inline constexpr wchar_t EMPTY_SOCKET_OPTION[] = L"--empty-socket";

}  // namespace fp::win32
