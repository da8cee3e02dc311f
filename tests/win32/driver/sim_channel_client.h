// The driver's end of the channel for the simulated board's own script
// commands (frontends/win32/sim_hooks.h): a message-only window that takes the
// program's answer while the driver waits for it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fp::driver {

class SimChannelClient {
 public:
  SimChannelClient();
  ~SimChannelClient();
  SimChannelClient(const SimChannelClient&) = delete;
  SimChannelClient& operator=(const SimChannelClient&) = delete;

  struct Answer {
    bool done = false;
    std::string text;  // what the command printed, or why it failed
  };

  // Plays the script line in the program of main_window; nothing when the
  // program does not take the board's commands (programmer.exe).
  std::optional<Answer> play(HWND main_window, const std::string& line);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  std::optional<Answer> answer_;
};

}  // namespace fp::driver
