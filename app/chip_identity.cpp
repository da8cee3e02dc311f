#include "app/chip_identity.h"

#include <cstdio>

#include "chips/at89c/at89c_bus.h"
#include "chips/at89c/at89c_commands.h"
#include "chips/attiny/attiny_bus.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "chips/jedec/jedec_bus.h"

namespace fp {
namespace {

using Reader = std::vector<uint8_t> (*)(ProgrammerContext& context);

std::vector<uint8_t> jedec_codes(ProgrammerContext& context) {
  const JedecId id = read_jedec_id(context);
  return {id.manufacturer, id.device};
}

std::vector<uint8_t> i28f_codes(ProgrammerContext& context) {
  const ChipCodes codes = i28f_read_id(context.bus);
  return {codes.manufacturer, codes.device};
}

std::vector<uint8_t> am28f_codes(ProgrammerContext& context) {
  const ChipCodes codes = am28f_read_id(context.bus);
  return {codes.manufacturer, codes.device};
}

std::vector<uint8_t> at89c_codes(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  at89c_reset_counter(bus);
  bus.latch_write(LATCH_ADDR_LO, AT89C_MODE_SIGNATURE);
  std::vector<uint8_t> codes;
  for (int position = 0; position < 3; ++position) {
    if (position > 0) at89c_clock_pulse(bus, AT89C_MODE_SIGNATURE);
    codes.push_back(bus.read_nibbles());
  }
  return codes;
}

std::vector<uint8_t> attiny_codes(ProgrammerContext& context) {
  hvpp_enter(context);
  hvpp_load_command(context, CMD_READ_SIGNATURE);
  std::vector<uint8_t> codes;
  for (uint8_t address = 0; address < 3; ++address) {
    codes.push_back(hvpp_read_at(context, address, HV_SELECT_NONE));
  }
  return codes;
}

Reader reader_for(IdMethod method) {
  switch (method) {
    case IdMethod::jedec_software:
      return jedec_codes;
    case IdMethod::intel_command:
      return i28f_codes;
    case IdMethod::am28f_command:
      return am28f_codes;
    case IdMethod::at89c_signature:
      return at89c_codes;
    case IdMethod::attiny_high_volts:
      return attiny_codes;
    case IdMethod::none:
      break;
  }
  return nullptr;
}

}  // namespace

std::span<const uint8_t> expected_identity(const ChipDescriptor& row) {
  return row.facts.id.span();
}

std::vector<uint8_t> read_identity(ProgrammerContext& context, const ChipDescriptor& row) {
  const Reader read = reader_for(row.facts.id_method);
  return read != nullptr ? read(context) : std::vector<uint8_t>{};
}

std::string codes_text(std::span<const uint8_t> codes) {
  std::string text;
  for (const uint8_t code : codes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02X", code);
    if (!text.empty()) text += ' ';
    text += digits;
  }
  return text;
}

}  // namespace fp
