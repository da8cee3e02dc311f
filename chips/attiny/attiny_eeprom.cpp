// EEPROM of the ATtiny2313 family: 128 (ATtiny4313: 256) bytes in pages of 4.
#include "chips/attiny/address_walk.h"
#include "chips/attiny/attiny_bus.h"
#include "chips/attiny/attiny_handlers.h"
#include "chips/attiny/block_messages.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

constexpr uint8_t EEPROM_BYTE = HV_SELECT_NONE;

}  // namespace

ReadResult attiny_eeprom_read(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                              uint32_t length) {
  hvpp_enter(context);
  hvpp_load_command(context, CMD_READ_EEPROM);
  address_walk(context, rom_offset, length, [&](uint32_t index) {
    buffer[index] = hvpp_read(context, EEPROM_BYTE);
    return true;
  });
  return ReadResult::done;
}

uint32_t attiny_eeprom_verify(ProgrammerContext& context, const uint8_t* buffer,
                              uint32_t rom_offset, uint32_t length) {
  hvpp_enter(context);
  hvpp_load_command(context, CMD_READ_EEPROM);
  const bool equal = address_walk(context, rom_offset, length, [&](uint32_t index) {
    return hvpp_read(context, EEPROM_BYTE) == buffer[index];
  });
  return equal ? 0 : 1;
}

bool attiny_eeprom_blank(ProgrammerContext& context) {
  hvpp_enter(context);
  hvpp_load_command(context, CMD_READ_EEPROM);
  return address_walk(context, 0, context.chip_size,
                      [&](uint32_t) { return hvpp_read(context, EEPROM_BYTE) == 0xFF; });
}

void attiny_eeprom_blank_check(ProgrammerContext& context) {
  report_blank(context, attiny_eeprom_blank(context));
}

uint32_t attiny_eeprom_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                             uint32_t length) {
  if (rom_offset % EEPROM_PAGE_BYTES != 0) return report_unaligned_block(context);
  hvpp_enter(context);
  hvpp_load_command(context, CMD_WRITE_EEPROM);
  uint32_t address = rom_offset;
  const uint32_t end = rom_offset + length;
  const uint8_t* next = buffer;
  while (address < end) {
    // Unlike the flash, the EEPROM takes its high address byte before the page.
    hvpp_load_address_high(context, static_cast<uint8_t>(address >> 8));
    do {
      hvpp_load_address_low(context, static_cast<uint8_t>(address));
      hvpp_load_data_low(context, *next++);
      hvpp_page_latch_pulse(context);
      ++address;
    } while (address < end && address % EEPROM_PAGE_BYTES != 0);
    hvpp_program_pulse(context, HV_PROGRAM_WAIT_MS);
  }
  return 0;
}

void attiny_eeprom_erase(ProgrammerContext& context) {
  context.main_view.dialog().message_box(text::EEPROM_ERASE_REFUSED, text::PROGRAMMER,
                                         mb::ICON_INFORMATION);
}

}  // namespace fp
