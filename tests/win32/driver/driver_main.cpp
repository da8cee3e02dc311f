// programmer-gui-driver [--program EXE] [--empty-socket] [--program-argument WORD]... SCRIPT
//
// Starts the program (programmer-sim.exe beside the driver unless --program
// names another) with the words given for its command line, plays the operator script against its
// real window and prints the event lines of programmer-script. The simulated board's own commands
// (insert, fill, dump, fuses, timer, fault) go to programmer-sim.exe through its channel. Beyond
// that format it knows "key escape|enter", "layout" (the top-most window against its template),
// "filedialog show" (prints the file types the next file dialog offers and whether its read-only
// box shows, then cancels it), "hold FILE" (keeps the file open for reading, sharing only reading,
// as another program would), "screenshot FILE.bmp", "describe" (the window's controls, on stderr;
// PROGRAMMER_GUI_DRIVER_DESCRIBE=1 describes every window that opens),
// "start click ID" (returns once the click's operation holds the program),
// "post click ID" and "post key enter|escape" (input made while it is busy),
// "wait" (until the program takes input again), "drop FILE" (the file
// dropped onto the main window), "about" (the system menu's About box) and
// "second" (another copy of the program started meanwhile, its boxes and
// exit code printed). Exit status: 0 played, 2 script error, 4 the program
// misbehaved, 5 the operation ended before "post" made its input (play again).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frontends/win32/sim_hooks.h"
#include "tests/win32/driver/remote_window.h"
#include "tests/win32/driver/script_player.h"
#include "tests/win32/driver/target_process.h"

namespace {

constexpr int SCRIPT_ERROR = 2;
constexpr int PROGRAM_FAILED = 4;
constexpr int INPUT_TOO_LATE = 5;

int usage() {
  std::fputs(
      "usage: programmer-gui-driver [--program EXE] [--empty-socket] [--program-argument WORD]... "
      "SCRIPT\n",
      stderr);
  return SCRIPT_ERROR;
}

std::wstring driver_folder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool read_lines(const std::wstring& path, std::vector<std::string>& lines) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return false;
  std::string line;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  std::fclose(file);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The event lines are UTF-8 with \n endings, as programmer-script prints them.
  _setmode(_fileno(stdout), _O_BINARY);
  // Tells a run that Wine could not start from one the driver played.
  std::fputs("driver: started\n", stderr);
  std::wstring program = L"programmer-sim.exe";
  std::wstring arguments;
  std::wstring script_path;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--program" && i + 1 < argc) {
      program = argv[++i];
    } else if (arg == L"--empty-socket") {
      arguments = fp::win32::EMPTY_SOCKET_OPTION;
    } else if (arg == L"--program-argument" && i + 1 < argc) {
      if (!arguments.empty()) arguments += L' ';
      arguments += argv[++i];
    } else if (script_path.empty() && arg.rfind(L"--", 0) != 0) {
      script_path = arg;
    } else {
      return usage();
    }
  }
  if (script_path.empty()) return usage();
  if (program.find_first_of(L"\\/:") == std::wstring::npos) program = driver_folder() + program;

  std::vector<std::string> lines;
  if (!read_lines(script_path, lines)) {
    std::fwprintf(stderr, L"programmer-gui-driver: cannot open %ls\n", script_path.c_str());
    return SCRIPT_ERROR;
  }
  try {
    fp::driver::TargetProcess target(program, arguments);
    fp::driver::ScriptPlayer player(target, program, arguments);
    try {
      player.play(lines);
      return 0;
    } catch (const fp::driver::ScriptError& error) {
      std::fprintf(stderr, "programmer-gui-driver: %s\n", error.what());
      target.terminate();
      return SCRIPT_ERROR;
    } catch (const fp::driver::InputTooLate& error) {
      std::fprintf(stderr, "programmer-gui-driver: %s\n", error.what());
      target.terminate();
      return INPUT_TOO_LATE;
    }
  } catch (const fp::driver::DriverError& error) {
    std::fprintf(stderr, "programmer-gui-driver: %s\n", error.what());
    return PROGRAM_FAILED;
  }
}
