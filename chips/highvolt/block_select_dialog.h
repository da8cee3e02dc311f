// "Выбор блоков": the operator picks the i28F001BX blocks to erase or check.
#pragma once

#include <cstdint>
#include <span>

#include "chips/common/programmer_context.h"
#include "ui/views.h"

namespace fp {

class BlockSelectDialog final : public DialogLogic {
 public:
  // init 0 starts with every box clear (erase), 1 with every box checked (blank check).
  BlockSelectDialog(HighVoltState& state, intptr_t init) : state_(state), init_(init) {}

  void on_init(DialogView& view) override;
  void on_command(DialogView& view, uint32_t command) override;
  void on_close(DialogView& view) override;

  [[nodiscard]] intptr_t init() const { return init_; }

 private:
  void accept(DialogView& view);

  HighVoltState& state_;
  intptr_t init_;
};

// The blocks the dialog chose last, in check-box order.
std::span<const BlockRange> chosen_blocks(const HighVoltState& state);

// True when the operator pressed "ОК": selected_blocks then holds the choice.
// Cancel, close, or a dialog that could not be shown leave nothing chosen.
bool block_select_dialog(ProgrammerContext& context, intptr_t init);

}  // namespace fp
