#include "chips/jedec/identify_dialog.h"

#include "bus/number_text.h"
#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_handlers.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace fp {

void IdentifyDialog::on_init(DialogView& view) {
  // Read anew at every opening; the SDP buttons do not refresh the codes.
  const JedecId id = read_jedec_id(context_);
  view.set_text(ctl::MANUFACTURER_CODE, hex_text(id.manufacturer));
  view.set_text(ctl::DEVICE_CODE, hex_text(id.device));
}

void IdentifyDialog::on_command(DialogView& view, uint32_t command) {
  switch (command) {
    case command_value(ctl::SDP_ON):
      sdp_on(context_);
      break;
    case command_value(ctl::SDP_OFF):
      sdp_off(context_);
      break;
    case command_value(ctl::CANCEL_BUTTON):
      view.end_dialog(0);
      break;
    default:
      break;
  }
}

void IdentifyDialog::on_close(DialogView& view) {
  view.end_dialog(0);
}

void jedec_identify(ProgrammerContext& context) {
  IdentifyDialog dialog(context);
  context.main_view.run_dialog(dlg::JEDEC_ID, dialog);
}

}  // namespace fp
