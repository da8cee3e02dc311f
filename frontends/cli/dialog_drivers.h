// The family dialogs as the command line drives them: the options take the
// place of the operator's clicks and the dialog's values are printed.
#pragma once

#include "chips/common/programmer_context.h"
#include "frontends/cli/cli_options.h"
#include "frontends/cli/run_outcome.h"
#include "frontends/headless/window_model.h"
#include "ui/views.h"

namespace fp::cli {

class DialogDriver {
 public:
  DialogDriver(const CliOptions& options, Console& console, RunOutcome& outcome,
               const ProgrammerContext& context)
      : options_(options), console_(console), outcome_(outcome), context_(context) {}

  // Clicks through the open dialog until it ends or is left to the caller to close.
  void drive(int template_id, headless::WindowModel& model, DialogLogic& logic, DialogView& view);

 private:
  bool click(headless::WindowModel& model, DialogLogic& logic, DialogView& view, int id);
  void drive_id_dialog(headless::WindowModel& model, DialogLogic& logic, DialogView& view);
  void drive_block_dialog(headless::WindowModel& model, DialogLogic& logic, DialogView& view);
  void drive_blocks_dialog(headless::WindowModel& model, DialogLogic& logic, DialogView& view);
  void drive_fuse_dialog(headless::WindowModel& model, DialogLogic& logic, DialogView& view);
  void print_labelled(headless::WindowModel& model, int template_id, int value_id);
  [[nodiscard]] std::string chip_name() const;

  const CliOptions& options_;
  Console& console_;
  RunOutcome& outcome_;
  const ProgrammerContext& context_;
};

}  // namespace fp::cli
