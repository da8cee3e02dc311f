#include "bus/number_text.h"
#include "chips/highvolt/highvolt_bus.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {

ChipCodes i28f_read_id(ProgrammerBus& bus) {
  const ChipCodes codes = hv_read_codes(bus, I28F_READ_ID);
  hv_command_write(bus, I28F_READ_ARRAY);
  return codes;
}

void show_chip_codes(ProgrammerContext& context, ChipCodes codes) {
  const std::u16string text = hex_text(codes.manufacturer) + u"\r\n" + hex_text(codes.device);
  context.main_view.dialog().message_box(text, text::CHIP_TYPE, mb::OK);
}

void i28f_identify(ProgrammerContext& context) {
  show_chip_codes(context, i28f_read_id(context.bus));
}

}  // namespace fp
