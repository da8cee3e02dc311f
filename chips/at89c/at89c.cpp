#include <string>

#include "bus/number_text.h"
#include "chips/at89c/at89c_bus.h"
#include "chips/at89c/at89c_commands.h"
#include "chips/at89c/at89c_handlers.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

constexpr uint32_t VERIFY_FAILED = 0xFFFFFFFF;
constexpr uint8_t BLANK_BYTE = 0xFF;
constexpr char16_t LINE_BREAK[] = u"\r\n";

// Read mode with the counter at rom_offset.
void start_reading(ProgrammerBus& bus, uint32_t rom_offset) {
  bus.latch_write(LATCH_ADDR_LO, AT89C_MODE_READ);
  at89c_reset_counter(bus);
  at89c_skip(bus, rom_offset);
}

}  // namespace

ReadResult at89c_read(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                      uint32_t length) {
  ProgrammerBus& bus = context.bus;
  start_reading(bus, rom_offset);
  for (uint32_t i = 0; i < length; ++i) {
    buffer[i] = bus.read_nibbles();
    at89c_clock_pulse(bus, AT89C_MODE_READ);
  }
  return ReadResult::done;
}

uint32_t at89c_verify(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                      uint32_t length) {
  ProgrammerBus& bus = context.bus;
  context.main_view.set_status_text(text::VERIFYING);
  start_reading(bus, rom_offset);
  for (uint32_t i = 0; i < length; ++i) {
    if (bus.read_nibbles() != buffer[i]) return VERIFY_FAILED;
    at89c_clock_pulse(bus, AT89C_MODE_READ);
  }
  return 0;
}

uint32_t at89c_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t length) {
  ProgrammerBus& bus = context.bus;
  context.main_view.set_status_text(text::WRITING);
  // The counter is moved in read mode, before the switch to write mode.
  start_reading(bus, rom_offset);
  bus.latch_write(LATCH_ADDR_LO, AT89C_MODE_WRITE);
  bus.latch_write(LATCH_CTRL, AT89C_CTRL_WRITE_VPP);
  for (uint32_t i = 0; i < length; ++i) {
    bus.latch_write(LATCH_DATA, buffer[i]);
    bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(AT89C_MODE_WRITE & ~AT89C_PROG));
    bus.latch_write(LATCH_ADDR_LO, AT89C_MODE_WRITE);
    // The chip offers no ready line on this board: wait out the longest write.
    context.clock.sleep_ms(AT89C_BYTE_WRITE_MS);
    at89c_clock_pulse(bus, AT89C_MODE_WRITE);
  }
  bus.latch_write(LATCH_CTRL, AT89C_CTRL_WRITE_END);
  return 0;
}

bool at89c_chip_blank(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  start_reading(bus, 0);
  for (uint32_t i = 0; i < context.chip_size; ++i) {
    if (bus.read_nibbles() != BLANK_BYTE) return false;
    at89c_clock_pulse(bus, AT89C_MODE_READ);
  }
  return true;
}

void at89c_blank_check(ProgrammerContext& context) {
  context.main_view.set_status_text(text::VERIFYING);
  if (at89c_chip_blank(context)) {
    context.main_view.dialog().message_box(text::BLANK, text::PROGRAMMER, mb::OK);
  } else {
    context.main_view.dialog().message_box(text::NOT_BLANK, text::PROGRAMMER, mb::ICON_INFORMATION);
  }
  context.main_view.set_status_text(text::CHECK_DONE);
}

void at89c_chip_erase(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  at89c_reset_counter(bus);
  bus.latch_write(LATCH_CTRL, AT89C_CTRL_ERASE_VPP);
  bus.latch_write(LATCH_ADDR_LO, AT89C_MODE_ERASE);
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(AT89C_MODE_ERASE & ~AT89C_PROG));
  context.clock.sleep_ms(AT89C_ERASE_PULSE_MS);
  bus.latch_write(LATCH_ADDR_LO, AT89C_MODE_ERASE);
  bus.latch_write(LATCH_CTRL, AT89C_CTRL_RUN);
}

void at89c_erase(ProgrammerContext& context) {
  context.main_view.set_status_text(text::ERASING);
  at89c_chip_erase(context);
  context.main_view.set_status_text(text::ERASE_DONE);
}

void at89c_identify(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  at89c_reset_counter(bus);
  bus.latch_write(LATCH_ADDR_LO, AT89C_MODE_SIGNATURE);
  std::u16string lines;
  for (uint32_t position = 0; position < AT89C_SIGNATURE_BYTES; ++position) {
    if (position > 0) {
      at89c_clock_pulse(bus, AT89C_MODE_SIGNATURE);
      lines += LINE_BREAK;
    }
    lines += hex_text(bus.read_nibbles());
  }
  context.main_view.dialog().message_box(lines, text::CHIP_TYPE, mb::OK);
}

}  // namespace fp
