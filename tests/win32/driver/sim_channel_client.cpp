#include "tests/win32/driver/sim_channel_client.h"

#include <charconv>
#include <utility>

#include "frontends/win32/sim_hooks.h"
#include "tests/win32/driver/remote_window.h"

namespace fp::driver {
namespace {

constexpr wchar_t WINDOW_CLASS[] = L"programmer-gui-driver.sim-channel";
constexpr DWORD ANSWER_TIMEOUT_MS = 60000;

}  // namespace

SimChannelClient::SimChannelClient() {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = WINDOW_CLASS;
  RegisterClassW(&window_class);
  window_ = CreateWindowW(WINDOW_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) throw DriverError("cannot make the window of the board's channel");
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

SimChannelClient::~SimChannelClient() {
  DestroyWindow(window_);
}

LRESULT CALLBACK SimChannelClient::procedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  auto* client = reinterpret_cast<SimChannelClient*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_COPYDATA && client != nullptr) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    if (data->dwData == win32::SIM_REPLY_DONE || data->dwData == win32::SIM_REPLY_FAILED) {
      if (client->held_ != nullptr && *client->held_) {
        try {
          (*client->held_)();
        } catch (...) {
          client->held_error_ = std::current_exception();
        }
      }
      client->answer_ = Answer{data->dwData == win32::SIM_REPLY_DONE,
                               std::string(static_cast<const char*>(data->lpData), data->cbData)};
      return TRUE;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

bool SimChannelClient::send(HWND main_window, ULONG_PTR kind, const std::string& line) {
  answer_.reset();
  held_error_ = nullptr;
  COPYDATASTRUCT data{kind, static_cast<DWORD>(line.size()), const_cast<char*>(line.data())};
  DWORD_PTR taken = 0;
  // The answer comes as a message sent to this thread while it waits here.
  if (SendMessageTimeoutW(main_window, WM_COPYDATA, reinterpret_cast<WPARAM>(window_),
                          reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, ANSWER_TIMEOUT_MS,
                          &taken) == 0) {
    throw DriverError("the program does not answer the board's channel");
  }
  if (held_error_) std::rethrow_exception(std::exchange(held_error_, nullptr));
  if (taken == 0) return false;
  if (!answer_) throw DriverError("the program took the board's message without an answer");
  return true;
}

std::optional<SimChannelClient::Answer> SimChannelClient::play(HWND main_window,
                                                               const std::string& line) {
  if (!send(main_window, win32::SIM_COMMAND, line)) return std::nullopt;
  return answer_;
}

std::optional<uint64_t> SimChannelClient::ping(HWND main_window,
                                               const std::function<void()>& held) {
  held_ = &held;
  bool taken = false;
  try {
    taken = send(main_window, win32::SIM_PING, {});
  } catch (...) {
    held_ = nullptr;
    throw;
  }
  held_ = nullptr;
  if (!taken) return std::nullopt;
  uint64_t board_us = 0;
  const std::string& text = answer_->text;
  if (std::from_chars(text.data(), text.data() + text.size(), board_us).ec != std::errc()) {
    throw DriverError("the program answered a ping without the board's clock");
  }
  return board_us;
}

}  // namespace fp::driver
