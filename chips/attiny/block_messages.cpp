#include "chips/attiny/block_messages.h"

#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {

uint32_t report_odd_block(ProgrammerContext& context) {
  const int answer =
      context.main_view.dialog().message_box(text::ODD_BLOCK, nullptr, mb::ICON_ERROR);
  // A box that could not be shown answers 0, which would read as success.
  return answer > 0 ? static_cast<uint32_t>(answer) : 1;
}

uint32_t report_unaligned_block(ProgrammerContext& context) {
  context.main_view.dialog().message_box(text::BAD_EXTRA_PARAMETERS, text::PROGRAMMER,
                                         mb::ICON_ERROR);
  return report_odd_block(context);
}

void report_blank(ProgrammerContext& context, bool blank) {
  if (blank) {
    context.main_view.dialog().message_box(text::BLANK, text::PROGRAMMER, mb::OK);
  } else {
    context.main_view.dialog().message_box(text::NOT_BLANK, text::PROGRAMMER, mb::ICON_INFORMATION);
  }
}

}  // namespace fp
