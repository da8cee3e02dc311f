#include "tests/support/fake_main_view.h"

#include <gtest/gtest.h>

#include "ui/dialog_templates.h"
#include "ui/message_box.h"

namespace fp::test {

std::string FakeDialogView::text_8bit(int id, size_t capacity) {
  std::string narrow;
  for (const char16_t c : controls[id].text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  if (capacity == 0) return {};
  if (narrow.size() > capacity - 1) narrow.resize(capacity - 1);
  return narrow;
}

int FakeDialogView::message_box(std::u16string_view value, const char16_t* caption,
                                uint32_t flags) {
  boxes.push_back({std::u16string(value),
                   caption ? std::optional<std::u16string>(caption) : std::nullopt, flags});
  if (while_shown) while_shown(boxes.back());
  if (!answers.empty()) {
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  if ((flags & 0xF) == mb::YESNO) {
    return (flags & mb::DEFBUTTON2) != 0 ? answer::NO : answer::YES;
  }
  return answer::OK;
}

int FakeMainView::list_add(int id, std::u16string_view value) {
  lists[id].emplace_back(std::u16string(value), 0);
  return static_cast<int>(lists[id].size()) - 1;
}

void FakeMainView::list_set_item_data(int id, int index, intptr_t data) {
  lists.at(id).at(static_cast<size_t>(index)).second = data;
}

intptr_t FakeMainView::list_item_data(int id, int index) {
  return lists.at(id).at(static_cast<size_t>(index)).second;
}

int FakeMainView::list_selection(int id) {
  const auto found = selection.find(id);
  return found == selection.end() ? -1 : found->second;
}

std::optional<std::u16string> FakeMainView::open_file_dialog(const FileDialogRequest& request) {
  file_dialog_requests.push_back(request);
  if (file_dialog_results.empty()) return std::nullopt;
  auto result = file_dialog_results.front();
  file_dialog_results.pop_front();
  return result;
}

intptr_t FakeMainView::run_dialog(int template_id, DialogLogic& logic) {
  dialogs_run.push_back(template_id);
  if (dialogs_failing_to_open > 0) {
    --dialogs_failing_to_open;
    return -1;
  }
  FakeDialogView dialog;
  if (const DialogTemplate* found = find_dialog_template(template_id)) {
    for (const ControlTemplate& control : found->controls) {
      dialog.controls[control.id] = {control.text, false, (control.styles & style::HIDDEN) == 0,
                                     (control.styles & style::DISABLED) == 0};
    }
  }
  logic.on_init(dialog);
  if (dialog_player) dialog_player(template_id, logic, dialog);
  if (!dialog.ended) logic.on_close(dialog);
  return dialog.ended.value_or(0);
}

}  // namespace fp::test
