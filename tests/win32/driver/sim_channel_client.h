// The driver's end of the channel for the simulated board's own script
// commands (frontends/win32/sim_hooks.h): a message-only window that takes the
// program's answer while the driver waits for it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
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

  // Calls held while the program's thread waits for this end to take its
  // answer to a ping, that is, stands where it took the ping. The board's
  // clock in microseconds; nothing when the program does not take pings
  // (programmer.exe).
  std::optional<uint64_t> ping(HWND main_window, const std::function<void()>& held = {});

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  bool send(HWND main_window, ULONG_PTR kind, const std::string& line);

  HWND window_ = nullptr;
  std::optional<Answer> answer_;
  const std::function<void()>* held_ = nullptr;
  // What held threw: thrown again once the send returns, since an exception
  // must not leave a window procedure (Wine's x64 dispatch swallows it, and
  // the send would seem answered by nothing).
  std::exception_ptr held_error_;
};

}  // namespace fp::driver
