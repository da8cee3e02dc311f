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

#include "tests/win32/driver/gui_commands.h"
#include "tests/win32/driver/sim_channel_client.h"
#include "tests/win32/driver/target_process.h"

namespace fp::driver {

// A script line the driver cannot play: exit status 2, as programmer-script.
using headless::ScriptError;

// "post" queued its input only after the operation that "start" began had
// opened a window (its closing box, say), which may have taken the input: the
// run shows nothing either way and is to be played again.
class InputTooLate : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ScriptPlayer final : public GuiPlayer {
 public:
  // program and arguments: how the target was started, for "second".
  ScriptPlayer(TargetProcess& target, std::wstring program, std::wstring arguments)
      : target_(target), program_(std::move(program)), arguments_(std::move(arguments)) {}
  ~ScriptPlayer() override;
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

  // The shared commands, on the real windows.
  bool has_control(int id) override;
  std::vector<std::u16string> list_items(int id) override;
  void select(int id, size_t index) override;
  void set_text(int id, std::u16string_view text) override;
  void set_checked(int id, bool checked) override;
  void click(int id) override;
  void close() override;
  void queue_answer(int answer) override;
  void queue_file_dialog(std::optional<std::u16string> name) override;
  void print(int id) override;
  void board_command(const headless::ScriptLine& line) override;

  // The driver's own commands.
  void press_key(Key key) override;
  void check_layout() override;
  void save_screenshot(const std::string& path) override;
  void hold_file(const std::string& path) override;
  void describe_window() override;
  void start_click(int id) override;
  void post_click(int id) override;
  void post_key(Key key) override;
  void wait() override;
  void drop_file(const std::string& path) override;
  void about() override;
  void second_instance(const std::vector<std::string>& arguments) override;
  void print_cursor() override;
  void print_cursor_at_boxes() override;
  [[nodiscard]] std::string cursor_name();
  [[nodiscard]] bool in_foreground() const;
  void wait_for_foreground() const;
  bool holds_inside_operation(const std::vector<HWND>& windows);

  void mouse_click(HWND button);
  void key_input(HWND focus, WORD key);
  HWND focus_window();
  void require_busy();
  void require_input_before_end();
  void wait_for_posted_input();
  void wait_until_reading_queue();
  [[nodiscard]] bool busy();
  void settle();
  bool take_changes(const std::vector<HWND>& windows);
  void window_opened(HWND handle);
  void window_ended(const Window& window);
  void answer_message_box(HWND box, bool printed);
  void answer_file_dialog(HWND dialog);
  void show_file_dialog(HWND dialog);
  void close_all();
  void require_main_on_top();

  Window& top();
  HWND control(int id);
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
  bool cursor_at_boxes_ = false;  // "cursor boxes": print it as each window opens
  uintptr_t dialogs_ended_ = 0;
  std::vector<HWND> windows_at_start_;  // when "start" saw the operation begin
  std::vector<HANDLE> held_files_;      // opened for reading by "hold", as another program would
};

}  // namespace fp::driver
