// Plays an operator script against the real window of the program and prints
// what the operator sees, in the event lines of programmer-script: message
// boxes with their answers, family dialogs opening and ending, printed
// controls, the exit code. Status texts are printed only where the script
// prints the status bar (print 1026): the window keeps no history of them.
// A path under the current folder prints relative to it, as the script
// frontend, which never makes a name absolute, shows it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/win32/driver/sim_channel_client.h"
#include "tests/win32/driver/target_process.h"

namespace fp::driver {

// A script line the driver cannot play: exit status 2, as programmer-script.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "post" queued its input only after the operation that "start" began had
// opened a window (its closing box, say), which may have taken the input: the
// run shows nothing either way and is to be played again.
class InputTooLate : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ScriptPlayer {
 public:
  // program and arguments: how the target was started, for "second".
  ScriptPlayer(TargetProcess& target, std::wstring program, std::wstring arguments)
      : target_(target), program_(std::move(program)), arguments_(std::move(arguments)) {}
  ~ScriptPlayer();
  ScriptPlayer(const ScriptPlayer&) = delete;
  ScriptPlayer& operator=(const ScriptPlayer&) = delete;

  // Waits for the first window, plays the lines, closes what is open and
  // prints the exit line. Throws ScriptError, InputTooLate or DriverError.
  void play(const std::vector<std::string>& lines);

 private:
  enum class Kind { main, dialog, message_box, file_dialog };
  struct Window {
    HWND handle;
    Kind kind;
    int template_id;
    bool answered;  // an answer or file name was given to it
  };

  void execute(const std::vector<std::string>& words, const std::string& line);
  void sim_command(const std::string& line);
  void post_input(const std::vector<std::string>& words);
  void post_click(HWND button);
  void post_key(HWND focus, WORD key);
  [[nodiscard]] bool busy();
  void start(const std::vector<std::string>& words);
  void drop_file(const std::string& path);
  void second_instance();
  void settle();
  bool take_changes(const std::vector<HWND>& windows);
  void window_opened(HWND handle);
  void window_ended(const Window& window);
  void answer_message_box(HWND box, bool printed);
  void answer_file_dialog(HWND dialog);
  void show_file_dialog(HWND dialog);
  void close_all();
  void press_key(WORD key);
  void check_layout();
  void save_screenshot(const std::string& path);

  Window& top();
  HWND control(int id);
  int parse_control_id(const std::string& word);
  void print_control(int id);
  void emit(const std::string& line);

  TargetProcess& target_;
  std::wstring program_;
  std::wstring arguments_;
  SimChannelClient sim_channel_;
  std::vector<Window> stack_;
  std::deque<int> answers_;
  std::deque<std::optional<std::wstring>> file_dialog_results_;
  HWND main_window_ = nullptr;
  bool main_ended_ = false;
  uintptr_t dialogs_ended_ = 0;
  std::vector<HWND> windows_at_start_;  // when "start" saw the operation begin
  std::vector<HANDLE> held_files_;      // opened for reading by "hold", as another program would
};

}  // namespace fp::driver
