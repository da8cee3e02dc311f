// An in-memory window built from a dialog template: the state of every
// control that the script frontend reads and changes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog_templates.h"

namespace fp::script {

struct ControlState {
  ControlKind kind = ControlKind::static_text;
  std::u16string text;
  bool checked = false;
  bool visible = true;
  bool enabled = true;
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

  std::optional<intptr_t> ended;

 private:
  int template_id_;
  std::map<int, ControlState> controls_;
  ControlState detached_;
};

}  // namespace fp::script
