#include "frontends/script/script_session.h"

#include <cerrno>
#include <cstring>

#include "app/catalogue.h"
#include "frontends/headless/quoting.h"
#include "frontends/headless/script_commands.h"
#include "platform/utf8.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/message_box.h"

namespace fp::script {

using headless::answer_name;
using headless::ControlState;
using headless::flag_names;
using headless::ModelDialogView;
using headless::quoted;

ScriptSession::ScriptSession(std::ostream& output, std::ostream* trace)
    : out_(output), trace_sink_(trace) {
  main_model_ = std::make_unique<WindowModel>(*find_dialog_template(dlg::MAIN));
  headless::WindowHost& host = *this;
  main_view_ = std::make_unique<headless::ModelMainView>(*main_model_, host);
  PortIo* port = &board_;
  Clock* clock = &clock_;
  Priority* priority = &priority_;
  if (trace != nullptr) {
    trace_ = std::make_unique<Trace>(board_, clock_, priority_, trace);
    port = trace_.get();
    clock = trace_.get();
    priority = trace_.get();
  }
  context_ = std::make_unique<ProgrammerContext>(*port, *clock, *priority, *main_view_,
                                                 chip_catalogue()[0]);
  main_window_ = std::make_unique<MainWindow>(*context_);
  board_.set_violation_listener(
      [this](const std::string& text) { out_ << "sim " << quoted(from_utf8(text)) << '\n'; });
}

ScriptSession::~ScriptSession() = default;

void ScriptSession::run(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  next_line_ = 0;
  context_->bus.bus_reset();
  windows_.push_back({main_model_.get(), main_window_.get(), &main_view_->dialog()});
  main_window_->on_init(main_view_->dialog());
  play_until_ended(0);
  windows_.clear();
  // A trace cut short (a full disk) is no trace of the run.
  if (trace_sink_ != nullptr && !trace_sink_->flush()) {
    throw ScriptError("cannot write the trace file: " + std::string(std::strerror(errno)));
  }
  out_ << "exit 0\n";
  out_.flush();
}

void ScriptSession::play_until_ended(size_t depth) {
  WindowModel& model = *windows_[depth].model;
  while (!model.ended) {
    if (next_line_ >= lines_.size()) {
      close_window(windows_[depth]);
      // A window that ignores the close request still ends with the script.
      if (!model.ended) model.ended = 0;
      break;
    }
    const size_t number = ++next_line_;
    headless::play_script_line(*this, lines_[number - 1], number);
  }
}

void ScriptSession::close_window(const OpenWindow& window) {
  window.logic->on_close(*window.view);
}

intptr_t ScriptSession::run_dialog(int template_id, DialogLogic& logic) {
  const DialogTemplate* found = find_dialog_template(template_id);
  if (found == nullptr) return -1;
  out_ << "dialog " << template_id << " open\n";
  WindowModel model(*found);
  ModelDialogView view(model, *this);
  windows_.push_back({&model, &logic, &view});
  logic.on_init(view);
  play_until_ended(windows_.size() - 1);
  windows_.pop_back();
  out_ << "dialog " << template_id << " end " << *model.ended << '\n';
  return *model.ended;
}

int ScriptSession::message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) {
  int answer = answer::OK;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  } else if ((flags & 0xF) == mb::YESNO) {
    answer = (flags & mb::DEFBUTTON2) != 0 ? answer::NO : answer::YES;
  }
  out_ << "box " << quoted(text)
       << " caption=" << (caption != nullptr ? quoted(caption) : std::string("none"))
       << " flags=" << flag_names(flags) << " -> " << answer_name(answer) << '\n';
  return answer;
}

void ScriptSession::status_text(std::u16string_view text) {
  out_ << "status " << quoted(text) << '\n';
}

std::optional<std::u16string> ScriptSession::open_file_dialog(const FileDialogRequest&) {
  if (file_dialog_results_.empty()) return std::nullopt;
  auto result = file_dialog_results_.front();
  file_dialog_results_.pop_front();
  return result;
}

bool ScriptSession::has_control(int id) {
  return top().model->has(id);
}

std::vector<std::u16string> ScriptSession::list_items(int id) {
  std::vector<std::u16string> texts;
  for (const auto& item : top().model->control(id).items) texts.push_back(item.first);
  return texts;
}

void ScriptSession::select(int id, size_t index) {
  top().model->control(id).selection = static_cast<int>(index);
  top().logic->on_command(*top().view, command_value(id, notify::SELCHANGE));
}

void ScriptSession::set_text(int id, std::u16string_view text) {
  top().model->set_text(id, text);
}

void ScriptSession::set_checked(int id, bool checked) {
  top().model->control(id).checked = checked;
}

void ScriptSession::click(int id) {
  OpenWindow window = top();
  window.model->click(id);
  window.logic->on_command(*window.view, command_value(id));
}

void ScriptSession::close() {
  close_window(top());
}

void ScriptSession::queue_answer(int answer) {
  answers_.push_back(answer);
}

void ScriptSession::queue_file_dialog(std::optional<std::u16string> name) {
  file_dialog_results_.push_back(std::move(name));
}

void ScriptSession::print(int id) {
  print_control(*top().model, id);
}

void ScriptSession::board_command(const headless::ScriptLine& line) {
  sim_commands_.execute(line.words, out_);
}

void ScriptSession::print_control(WindowModel& window, int id) {
  const ControlState& control = window.control(id);
  std::u16string text = control.text;
  if (control.kind == ControlKind::drop_down_list) {
    text.clear();
    if (control.selection >= 0 && static_cast<size_t>(control.selection) < control.items.size()) {
      text = control.items[static_cast<size_t>(control.selection)].first;
    }
  }
  out_ << "control " << id << ' ' << quoted(text) << " checked=" << control.checked
       << " visible=" << control.visible << " enabled=" << control.enabled << '\n';
}

}  // namespace fp::script
