#include "frontends/cli/chip_identity.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "chips/at89c/at89c_bus.h"
#include "chips/at89c/at89c_commands.h"
#include "chips/attiny/attiny_bus.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "chips/jedec/jedec_bus.h"

namespace fp::cli {
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

struct Identity {
  std::u16string_view row;
  std::array<uint8_t, 3> codes;
  size_t count;
  Reader read;
};

constexpr std::array<Identity, 12> IDENTITIES{{
    {u"i28F001BX-T", {0x89, 0x94}, 2, i28f_codes},
    {u"i28F001BX-B", {0x89, 0x95}, 2, i28f_codes},
    {u"AT29C010A", {0x1F, 0xD5}, 2, jedec_codes},
    {u"AT29C040A", {0x1F, 0xA4}, 2, jedec_codes},
    {u"AT49F512", {0x1F, 0x03}, 2, jedec_codes},
    {u"AT49F002", {0x1F, 0x07}, 2, jedec_codes},
    {u"ATTINY2313 - FLASH", {0x1E, 0x91, 0x0A}, 3, attiny_codes},
    {u"ATTINY2313 - EEPROM", {0x1E, 0x91, 0x0A}, 3, attiny_codes},
    {u"AT89C2051/2052", {0x1E, 0x21, 0xFF}, 3, at89c_codes},
    {u"AT89C4051/4052", {0x1E, 0x41, 0xFF}, 3, at89c_codes},
    {u"AM28F001", {0x01, 0xA7}, 2, am28f_codes},
    {u"W29EE512", {0xDA, 0xC8}, 2, jedec_codes},
}};

const Identity* identity_of(const ChipDescriptor& row) {
  for (const Identity& identity : IDENTITIES) {
    if (identity.row == row.name) return &identity;
  }
  return nullptr;
}

}  // namespace

std::span<const uint8_t> expected_identity(const ChipDescriptor& row) {
  const Identity* identity = identity_of(row);
  if (identity == nullptr) return {};
  return std::span<const uint8_t>(identity->codes).first(identity->count);
}

std::vector<uint8_t> read_identity(ProgrammerContext& context, const ChipDescriptor& row) {
  const Identity* identity = identity_of(row);
  return identity != nullptr ? identity->read(context) : std::vector<uint8_t>{};
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

}  // namespace fp::cli
