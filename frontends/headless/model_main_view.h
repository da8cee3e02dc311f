// The main window over a window model: the chip list and the status bar are
// controls of the model, the rest goes to the frontend that hosts it.
#pragma once

#include "frontends/headless/window_host.h"
#include "frontends/headless/window_model.h"
#include "ui/views.h"

namespace fp::headless {

class ModelMainView final : public MainView {
 public:
  ModelMainView(WindowModel& model, WindowHost& host)
      : window_(model, host), model_(model), host_(host) {}

  DialogView& dialog() override { return window_; }

  void set_status_text(std::u16string_view text) override;

  int list_add(int id, std::u16string_view text) override;
  void list_set_item_data(int id, int index, intptr_t data) override;
  intptr_t list_item_data(int id, int index) override;
  void list_select(int id, int index) override { model_.control(id).selection = index; }
  int list_selection(int id) override { return model_.control(id).selection; }
  void set_small_icon(int) override {}
  std::optional<std::u16string> open_file_dialog(const FileDialogRequest& request) override {
    return host_.open_file_dialog(request);
  }
  intptr_t run_dialog(int template_id, DialogLogic& logic) override {
    return host_.run_dialog(template_id, logic);
  }

 private:
  ModelDialogView window_;
  WindowModel& model_;
  WindowHost& host_;
};

}  // namespace fp::headless
