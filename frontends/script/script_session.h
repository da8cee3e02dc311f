// The headless frontend: plays an operator's script against the main window
// logic on the simulated board and prints what the operator would see.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "chips/common/programmer_context.h"
#include "frontends/headless/model_main_view.h"
#include "frontends/headless/script_commands.h"
#include "frontends/headless/sim_commands.h"
#include "frontends/headless/trace.h"
#include "frontends/headless/window_host.h"
#include "frontends/headless/window_model.h"
#include "sim/simulated_board.h"
#include "ui/views.h"

namespace fp::script {

using headless::ScriptError;
using headless::SimCommands;
using headless::Trace;
using headless::WindowModel;

class ScriptSession final : private headless::ScriptPlayer, private headless::WindowHost {
 public:
  // trace: null for no trace file.
  ScriptSession(std::ostream& output, std::ostream* trace);
  ~ScriptSession() override;
  ScriptSession(const ScriptSession&) = delete;
  ScriptSession& operator=(const ScriptSession&) = delete;

  // Starts the program, plays every line, closes what is open and prints
  // "exit 0". Throws ScriptError.
  void run(std::vector<std::string> lines);

  [[nodiscard]] sim::SimulatedBoard& board() { return board_; }
  [[nodiscard]] ProgrammerContext& context() { return *context_; }

 private:
  struct OpenWindow {
    WindowModel* model;
    DialogLogic* logic;
    DialogView* view;
  };

  // Plays lines until the window on top of the stack (at depth) has ended.
  void play_until_ended(size_t depth);

  // What the script's lines ask of the top-most window.
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

  void close_window(const OpenWindow& window);

  // What the windows ask of the operator's script.
  int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) override;
  void status_text(std::u16string_view text) override;
  std::optional<std::u16string> open_file_dialog(const FileDialogRequest& request) override;
  intptr_t run_dialog(int template_id, DialogLogic& logic) override;

  void print_control(WindowModel& window, int id);

  OpenWindow& top() { return windows_.back(); }

  std::ostream& out_;
  sim::SimulatedBoard board_;
  sim::VirtualClock clock_{board_};
  sim::RecordedPriority priority_;
  std::unique_ptr<Trace> trace_;
  std::ostream* trace_sink_ = nullptr;
  std::unique_ptr<headless::ModelMainView> main_view_;
  std::unique_ptr<ProgrammerContext> context_;
  std::unique_ptr<MainWindow> main_window_;
  std::unique_ptr<WindowModel> main_model_;

  std::vector<std::string> lines_;
  size_t next_line_ = 0;
  std::vector<OpenWindow> windows_;
  std::deque<int> answers_;
  std::deque<std::optional<std::u16string>> file_dialog_results_;
  SimCommands sim_commands_{board_};
};

}  // namespace fp::script
