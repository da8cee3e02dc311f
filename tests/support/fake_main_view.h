// An in-memory main window for unit tests: controls by ID, recorded message
// boxes and status texts, queued answers, and a hook for nested dialogs.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/views.h"

namespace fp::test {

struct ShownBox {
  std::u16string text;
  std::optional<std::u16string> caption;  // nothing: the default caption
  uint32_t flags;
  bool operator==(const ShownBox&) const = default;
};

class FakeDialogView : public DialogView {
 public:
  std::u16string text(int id) override { return controls[id].text; }
  std::string text_8bit(int id, size_t capacity) override;
  void set_text(int id, std::u16string_view value) override { controls[id].text = value; }
  bool checked(int id) override { return controls[id].checked; }
  void set_checked(int id, bool value) override { controls[id].checked = value; }
  void set_visible(int id, bool value) override { controls[id].visible = value; }
  void set_enabled(int id, bool value) override { controls[id].enabled = value; }
  int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) override;
  void end_dialog(intptr_t result) override { ended = result; }

  struct Control {
    std::u16string text;
    bool checked = false;
    bool visible = true;
    bool enabled = true;
  };
  std::map<int, Control> controls;
  std::vector<ShownBox> boxes;
  std::deque<int> answers;  // empty: the box's default button
  // Runs while the box is shown (the chip and the board can be looked at).
  std::function<void(const ShownBox&)> while_shown;
  std::optional<intptr_t> ended;
};

class FakeMainView final : public MainView {
 public:
  DialogView& dialog() override { return window; }

  // StatusBar
  void set_status_text(std::u16string_view value) override { status_texts.emplace_back(value); }

  // MainView
  int list_add(int id, std::u16string_view value) override;
  void list_set_item_data(int id, int index, intptr_t data) override;
  intptr_t list_item_data(int id, int index) override;
  void list_select(int id, int index) override { selection[id] = index; }
  int list_selection(int id) override;
  void set_small_icon(int) override {}
  std::optional<std::u16string> open_file_dialog(const FileDialogRequest& request) override;
  intptr_t run_dialog(int template_id, DialogLogic& logic) override;

  [[nodiscard]] std::u16string status() const {
    return status_texts.empty() ? std::u16string() : status_texts.back();
  }

  FakeDialogView window;
  std::vector<std::u16string> status_texts;
  std::map<int, std::vector<std::pair<std::u16string, intptr_t>>> lists;
  std::map<int, int> selection;
  std::deque<std::optional<std::u16string>> file_dialog_results;
  std::vector<FileDialogRequest> file_dialog_requests;
  // Plays a nested dialog: gets the template ID, the logic and a fresh view
  // (already initialised); without it a dialog is closed right after init.
  std::function<void(int, DialogLogic&, FakeDialogView&)> dialog_player;
  // The next this many dialogs fail to open, as a dialog box whose window
  // cannot be created: -1, and the logic never runs.
  int dialogs_failing_to_open = 0;
  std::vector<int> dialogs_run;
};

}  // namespace fp::test
