// Flash of the ATtiny2313 family: 1024 (ATtiny4313: 2048) words of 16 bits; in the image each word
// takes two bytes, low byte first.
#include "chips/attiny/address_walk.h"
#include "chips/attiny/attiny_bus.h"
#include "chips/attiny/attiny_handlers.h"
#include "chips/attiny/block_messages.h"
#include "ui/texts.h"

namespace fp {
namespace {

constexpr uint8_t FLASH_LOW_BYTE = HV_SELECT_NONE;
constexpr uint8_t FLASH_HIGH_BYTE = HV_SELECT_BS1;

bool odd_block(uint32_t rom_offset, uint32_t length) {
  return rom_offset % 2 != 0 || length % 2 != 0;
}

// The page is a fact of the selected flash row (ATtiny2313: 16 words,
// ATtiny4313: 32); the ATtiny2313's when another row is selected.
uint32_t flash_page_words(const ProgrammerContext& context) {
  const ChipFacts& facts = context.current_chip->facts;
  return facts.driver == ChipDriver::attiny_flash ? facts.write_unit / 2 : FLASH_PAGE_WORDS;
}

}  // namespace

ReadResult attiny_flash_read(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                             uint32_t length) {
  if (odd_block(rom_offset, length)) {
    report_odd_block(context);
    return ReadResult::refused;
  }
  hvpp_enter(context);
  hvpp_load_command(context, CMD_READ_FLASH);
  address_walk(context, rom_offset / 2, length / 2, [&](uint32_t word) {
    buffer[2 * word] = hvpp_read(context, FLASH_LOW_BYTE);
    buffer[2 * word + 1] = hvpp_read(context, FLASH_HIGH_BYTE);
    return true;
  });
  return ReadResult::done;
}

uint32_t attiny_flash_verify(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                             uint32_t length) {
  if (odd_block(rom_offset, length)) return report_odd_block(context);
  hvpp_enter(context);
  hvpp_load_command(context, CMD_READ_FLASH);
  // The high byte of a word whose low byte differs is not read.
  const bool equal = address_walk(context, rom_offset / 2, length / 2, [&](uint32_t word) {
    return hvpp_read(context, FLASH_LOW_BYTE) == buffer[2 * word] &&
           hvpp_read(context, FLASH_HIGH_BYTE) == buffer[2 * word + 1];
  });
  return equal ? 0 : 1;
}

bool attiny_flash_blank(ProgrammerContext& context) {
  hvpp_enter(context);
  hvpp_load_command(context, CMD_READ_FLASH);
  return address_walk(context, 0, context.chip_size / 2, [&](uint32_t) {
    return hvpp_read(context, FLASH_LOW_BYTE) == 0xFF &&
           hvpp_read(context, FLASH_HIGH_BYTE) == 0xFF;
  });
}

void attiny_flash_blank_check(ProgrammerContext& context) {
  report_blank(context, attiny_flash_blank(context));
}

uint32_t attiny_flash_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                            uint32_t length) {
  if (odd_block(rom_offset, length)) return report_odd_block(context);
  const uint32_t page_words = flash_page_words(context);
  if (rom_offset % (2 * page_words) != 0) return report_unaligned_block(context);
  hvpp_enter(context);
  hvpp_load_command(context, CMD_WRITE_FLASH);
  uint32_t word = rom_offset / 2;
  const uint32_t end = word + length / 2;
  const uint8_t* next = buffer;
  while (word < end) {
    const uint32_t page = word;
    do {
      hvpp_load_address_low(context, static_cast<uint8_t>(word));
      hvpp_load_data_low(context, *next++);
      hvpp_load_data_high_latch(context, *next++);
      ++word;
    } while (word < end && word % page_words != 0);
    // The chip takes the page address from the high byte loaded now and the
    // low byte of the last word.
    hvpp_load_address_high(context, static_cast<uint8_t>(page >> 8));
    hvpp_program_pulse(context, HV_PROGRAM_WAIT_MS);
  }
  return 0;
}

void attiny_chip_erase(ProgrammerContext& context) {
  hvpp_enter(context);
  hvpp_load_command(context, CMD_CHIP_ERASE);
  hvpp_pattern(context, HV_IDLE);
  hvpp_program_pulse(context, HV_ERASE_WAIT_MS);
}

void attiny_flash_erase(ProgrammerContext& context) {
  attiny_chip_erase(context);
  context.main_view.set_status_text(text::ERASE_DONE);
}

}  // namespace fp
