#include "chips/attiny/attiny_bus.h"

namespace fp {
namespace {

// What one XTAL1 pulse loads is chosen by XA1, XA0 and BS1, set before the
// pulse and still set when it ends.
void load_byte(ProgrammerContext& context, uint8_t value, uint8_t lines) {
  context.bus.latch_write(LATCH_DATA, value);
  hvpp_pattern(context, static_cast<uint8_t>(HV_IDLE | lines));
  hvpp_pattern(context, static_cast<uint8_t>(HV_IDLE | lines | HV_XTAL1));
  hvpp_pattern(context, static_cast<uint8_t>(HV_IDLE | lines));
}

}  // namespace

void hvpp_pattern(ProgrammerContext& context, uint8_t pattern) {
  context.bus.latch_write(LATCH_ADDR_LO, pattern);
}

void hvpp_enter(ProgrammerContext& context) {
  context.bus.latch_write(LATCH_CTRL, HV_CTRL_OFF);
  // XA1, XA0 and BS1 low while XTAL1 toggles, before the voltage rises: the
  // chip latches these lines as its programming-mode signature.
  hvpp_pattern(context, HV_OE_N);
  for (int pulse = 0; pulse < HV_ENTRY_XTAL1_PULSES; ++pulse) {
    hvpp_pattern(context, HV_OE_N | HV_XTAL1);
    hvpp_pattern(context, HV_OE_N);
  }
  context.clock.sleep_ms(HV_ENTRY_WAIT_MS);
  context.bus.latch_write(LATCH_CTRL, HV_CTRL_VPP_ON);
  context.bus.latch_write(LATCH_CTRL, HV_CTRL_RELEASED);
  context.clock.sleep_ms(HV_ENTRY_WAIT_MS);
  hvpp_pattern(context, HV_IDLE);
}

void hvpp_load_command(ProgrammerContext& context, uint8_t command) {
  context.bus.latch_write(LATCH_DATA, command);
  context.bus.latch_write(LATCH_CTRL, HV_CTRL_DRIVEN);
  hvpp_pattern(context, HV_IDLE | HV_XA1_BS2);
  hvpp_pattern(context, HV_IDLE | HV_XA1_BS2 | HV_XTAL1);
  hvpp_pattern(context, HV_IDLE | HV_XA1_BS2);
  hvpp_pattern(context, HV_IDLE);
}

void hvpp_load_address_low(ProgrammerContext& context, uint8_t address_low) {
  load_byte(context, address_low, 0);
}

void hvpp_load_address_high(ProgrammerContext& context, uint8_t address_high) {
  load_byte(context, address_high, HV_BS1_PAGEL);
  hvpp_pattern(context, HV_IDLE);
}

void hvpp_load_data_low(ProgrammerContext& context, uint8_t data) {
  load_byte(context, data, HV_XA0);
}

void hvpp_load_data_high_latch(ProgrammerContext& context, uint8_t data) {
  load_byte(context, data, HV_XA0 | HV_BS1_PAGEL);
  // PAGEL stays high a little longer; its fall moves the word into the page buffer.
  hvpp_pattern(context, HV_IDLE | HV_XA0 | HV_BS1_PAGEL);
  hvpp_pattern(context, HV_IDLE | HV_XA0 | HV_BS1_PAGEL);
  hvpp_pattern(context, HV_IDLE);
}

void hvpp_page_latch_pulse(ProgrammerContext& context) {
  hvpp_pattern(context, HV_IDLE | HV_XA0);
  hvpp_pattern(context, HV_IDLE | HV_XA0 | HV_BS1_PAGEL);
  hvpp_pattern(context, HV_IDLE | HV_XA0);
  hvpp_pattern(context, HV_IDLE);
}

void hvpp_program_pulse(ProgrammerContext& context, uint32_t wait_ms) {
  hvpp_pattern(context, HV_OE_N);
  hvpp_pattern(context, HV_IDLE);
  context.clock.sleep_ms(wait_ms);
}

uint8_t hvpp_read(ProgrammerContext& context, uint8_t select) {
  // The data latch lets go before /OE falls and takes the lines again only
  // after /OE is high, so the chip and the latch never drive at once.
  context.bus.latch_write(LATCH_CTRL, HV_CTRL_RELEASED);
  hvpp_pattern(context, static_cast<uint8_t>(select | HV_WR_N));
  const uint8_t value = context.bus.read_nibbles();
  hvpp_pattern(context, HV_IDLE);
  context.bus.latch_write(LATCH_CTRL, HV_CTRL_DRIVEN);
  return value;
}

uint8_t hvpp_read_at(ProgrammerContext& context, uint8_t address_low, uint8_t select) {
  hvpp_load_address_low(context, address_low);
  return hvpp_read(context, select);
}

void hvpp_program_byte(ProgrammerContext& context, uint8_t value, uint8_t select) {
  hvpp_load_data_low(context, value);
  const auto selected = static_cast<uint8_t>(select | HV_IDLE);
  hvpp_pattern(context, selected);
  hvpp_pattern(context, static_cast<uint8_t>(selected & ~HV_WR_N));
  hvpp_pattern(context, selected);
  context.clock.sleep_ms(HV_PROGRAM_WAIT_MS);
  hvpp_pattern(context, HV_IDLE);
}

}  // namespace fp
