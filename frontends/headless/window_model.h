// An in-memory window built from a dialog template: the state of every
// control that the script frontend reads and changes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontends/headless/window_host.h"
#include "ui/dialog_templates.h"
#include "ui/views.h"

namespace fp::headless {

struct ControlState {
  ControlKind kind = ControlKind::static_text;
  std::u16string text;
  bool checked = false;
  bool visible = true;
  bool enabled = true;
  bool uppercase = false;  // an edit that turns every letter it is given to upper case
  // Drop-down list: the items with their data, and the selection (-1: none).
  std::vector<std::pair<std::u16string, intptr_t>> items;
  int selection = -1;
};

class WindowModel {
 public:
  explicit WindowModel(const DialogTemplate& dialog_template);

  [[nodiscard]] int template_id() const { return template_id_; }
  [[nodiscard]] bool has(int id) const { return controls_.contains(id); }
  // Callers check has() first; an unknown ID gets a detached control.
  ControlState& control(int id);

  // What the operator's click does to the control before its command is sent.
  void click(int id);

  // Sets a control's text as the window would keep it: an upper-case edit
  // turns letters to upper case whether they are typed or set.
  void set_text(int id, std::u16string_view text);

  std::optional<intptr_t> ended;

 private:
  int template_id_;
  std::map<int, ControlState> controls_;
  ControlState detached_;
};

// A window's controls as a dialog view; its message boxes go to the frontend.
class ModelDialogView : public DialogView {
 public:
  ModelDialogView(WindowModel& model, WindowHost& host) : model_(model), host_(host) {}

  std::u16string text(int id) override { return model_.control(id).text; }
  // GetDlgItemTextA: characters outside ASCII cannot be hexadecimal digits.
  std::string text_8bit(int id, size_t capacity) override;
  void set_text(int id, std::u16string_view value) override { model_.set_text(id, value); }
  bool checked(int id) override { return model_.control(id).checked; }
  void set_checked(int id, bool value) override { model_.control(id).checked = value; }
  void set_visible(int id, bool value) override { model_.control(id).visible = value; }
  void set_enabled(int id, bool value) override { model_.control(id).enabled = value; }
  int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) override {
    return host_.message_box(text, caption, flags);
  }
  void end_dialog(intptr_t result) override {
    if (!model_.ended) model_.ended = result;
  }

 protected:
  WindowModel& model_;

 private:
  WindowHost& host_;
};

}  // namespace fp::headless
