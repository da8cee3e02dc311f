#include "frontends/win32/sim_channel.h"

#include <sstream>
#include <string>
#include <variant>

#include "frontends/headless/script_line.h"
#include "frontends/win32/sim_hooks.h"

namespace fp::win32 {
namespace {

void reply(HWND to, HWND from, ULONG_PTR kind, const std::string& text) {
  COPYDATASTRUCT data{kind, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
  SendMessageW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data));
}

// What the line printed, or why it was refused.
std::pair<ULONG_PTR, std::string> play(headless::SimCommands& commands, const std::string& line) {
  auto split = headless::split_script_line(line);
  if (const auto* error = std::get_if<headless::LineError>(&split)) {
    return {SIM_REPLY_FAILED, error->message};
  }
  const auto& words = std::get<std::vector<std::string>>(split);
  if (words.empty() || !headless::is_sim_command(words.front())) {
    return {SIM_REPLY_FAILED, "not a command of the simulated board"};
  }
  std::ostringstream printed;
  try {
    commands.execute(words, printed);
  } catch (const headless::ScriptError& error) {
    return {SIM_REPLY_FAILED, error.what()};
  }
  return {SIM_REPLY_DONE, printed.str()};
}

}  // namespace

MessageHook sim_channel_hook(headless::SimCommands& commands, const sim::SimulatedBoard& board,
                             MessageHook next) {
  return [&commands, &board, next = std::move(next)](HWND window, UINT message, WPARAM wparam,
                                                     LPARAM lparam) -> std::optional<LRESULT> {
    if (message == WM_INITDIALOG) {
      SetPropW(window, INPUT_READ_PROPERTY, reinterpret_cast<HANDLE>(1));
    } else if (message == SIM_INPUT_MARK) {
      SetPropW(window, INPUT_READ_PROPERTY, reinterpret_cast<HANDLE>(wparam));
      return 0;
    } else if (message == WM_COPYDATA) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
      if (data != nullptr && data->dwData == SIM_PING) {
        reply(reinterpret_cast<HWND>(wparam), window, SIM_REPLY_DONE,
              std::to_string(board.now_us()));
        return TRUE;
      }
      if (data != nullptr && data->dwData == SIM_COMMAND) {
        const std::string line(static_cast<const char*>(data->lpData), data->cbData);
        const auto [kind, text] = play(commands, line);
        reply(reinterpret_cast<HWND>(wparam), window, kind, text);
        return TRUE;
      }
    }
    if (next) return next(window, message, wparam, lparam);
    return std::nullopt;
  };
}

}  // namespace fp::win32
