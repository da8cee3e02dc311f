// The dialog "ID": the chip's two identification codes and the buttons that
// switch its software data protection.
#pragma once

#include "chips/common/programmer_context.h"
#include "ui/views.h"

namespace fp {

class IdentifyDialog final : public DialogLogic {
 public:
  explicit IdentifyDialog(ProgrammerContext& context) : context_(context) {}

  void on_init(DialogView& view) override;
  void on_command(DialogView& view, uint32_t command) override;
  void on_close(DialogView& view) override;

 private:
  ProgrammerContext& context_;
};

}  // namespace fp
