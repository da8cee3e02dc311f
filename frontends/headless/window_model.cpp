#include "frontends/headless/window_model.h"

namespace fp::headless {

WindowModel::WindowModel(const DialogTemplate& dialog_template) : template_id_(dialog_template.id) {
  for (const ControlTemplate& control : dialog_template.controls) {
    if (control.id < 0) continue;
    ControlState& state = controls_[control.id];
    state.kind = control.kind;
    // A list's template text is not shown; a status bar starts empty.
    if (control.kind != ControlKind::drop_down_list) state.text = control.text;
    state.visible = (control.styles & style::HIDDEN) == 0;
    state.enabled = (control.styles & style::DISABLED) == 0;
    state.uppercase = control.kind == ControlKind::edit && (control.styles & style::UPPERCASE) != 0;
  }
}

ControlState& WindowModel::control(int id) {
  const auto found = controls_.find(id);
  if (found != controls_.end()) return found->second;
  detached_ = {};
  return detached_;
}

void WindowModel::click(int id) {
  ControlState& clicked = control(id);
  if (clicked.kind == ControlKind::auto_check_box) {
    clicked.checked = !clicked.checked;
  } else if (clicked.kind == ControlKind::auto_radio_button) {
    for (auto& [other_id, other] : controls_) {
      if (other.kind == ControlKind::auto_radio_button) other.checked = other_id == id;
    }
  }
}

void WindowModel::set_text(int id, std::u16string_view text) {
  ControlState& changed = control(id);
  changed.text = text;
  if (!changed.uppercase) return;
  for (char16_t& c : changed.text) {
    if ((c >= u'a' && c <= u'z') || (c >= u'а' && c <= u'я')) {
      c = static_cast<char16_t>(c - 0x20);
    } else if (c >= u'ѐ' && c <= u'џ') {
      c = static_cast<char16_t>(c - 0x50);
    }
  }
}

std::string ModelDialogView::text_8bit(int id, size_t capacity) {
  std::string narrow;
  for (const char16_t c : model_.control(id).text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  if (capacity == 0) return {};
  if (narrow.size() > capacity - 1) narrow.resize(capacity - 1);
  return narrow;
}

}  // namespace fp::headless
