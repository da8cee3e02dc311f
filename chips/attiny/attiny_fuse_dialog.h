// The "ATTINY2313" dialog: signature, calibration byte, and the fuse and lock
// bytes as columns of check boxes (ticked = bit reads 1 = not programmed).
// The chip is the only record: the dialog reads everything when it opens and
// after every write.
#pragma once

#include <array>
#include <cstdint>

#include "chips/common/programmer_context.h"
#include "ui/views.h"

namespace fp {

// The eight boxes of one byte, for bits 0 to 7.
using BitBoxes = std::array<int, 8>;

void set_check_boxes(uint8_t value, DialogView& dialog, const BitBoxes& boxes);
uint8_t get_check_boxes(DialogView& dialog, const BitBoxes& boxes);

class AttinyFuseDialog final : public DialogLogic {
 public:
  explicit AttinyFuseDialog(ProgrammerContext& context) : context_(context) {}

  void on_init(DialogView& dialog) override;
  void on_command(DialogView& dialog, uint32_t command) override;
  void on_close(DialogView& dialog) override;

 private:
  void refresh(DialogView& dialog);
  void write_fuses(DialogView& dialog);
  void write_lock(DialogView& dialog);

  ProgrammerContext& context_;
};

}  // namespace fp
