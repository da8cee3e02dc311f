#include "chips/jedec/erase_block_dialog.h"
#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_handlers.h"
#include "chips/jedec/jedec_waits.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

void load_address(ProgrammerBus& bus, uint32_t address) {
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
}

// The command line's cycles: the strobe ends back in the write setup, where
// the next cycle's data and address are loaded, two control-latch loads a
// cycle instead of three.
void short_write(ProgrammerBus& bus, uint32_t address, uint8_t data, uint8_t high_bits) {
  bus.latch_write(LATCH_DATA, data);
  load_address(bus, address);
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_WRITE_PULSE | high_bits));
  bus.latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_WRITE_SETUP | high_bits));
}

// Each byte-program row bounds its erase by its own longest one.
PollBound erase_poll(const ProgrammerContext& context) {
  return byte_program_erase_poll(context.current_chip->facts.erase_max_ms);
}

}  // namespace

bool at49f_byte_program(ProgrammerContext& context, uint8_t data) {
  ProgrammerBus& bus = context.bus;
  const uint8_t high_bits = bus.bus_address.high_bits();
  if (context.chip_waits == ChipWaits::poll) {
    bus.latch_write(LATCH_CTRL, CTRL_WRITE_SETUP);
    for (const BusCycle& cycle : SEQ_PROGRAM) short_write(bus, cycle.address, cycle.data, 0);
    short_write(bus, bus.bus_address.address(), data, high_bits);
    return wait_for_byte_program(context, data);
  }
  send_sequence(bus, SEQ_PROGRAM);
  // The command cycles have left 0x55 in both address latches.
  load_address(bus, bus.bus_address.address());
  data_cycle(bus, data, high_bits);
  return wait_for_byte_program(context, data);
}

uint32_t at49f_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t length) {
  ProgrammerBus& bus = context.bus;
  bus.bus_address.set(rom_offset);
  for (uint32_t i = 0; i < length; ++i) {
    bool programmed = false;
    for (uint32_t attempt = 0; attempt < AT49F_BYTE_PROGRAM_TRIES && !programmed; ++attempt) {
      programmed = at49f_byte_program(context, buffer[i]);
    }
    if (!programmed) {
      // A reset command would only meet the busy chip.
      bus.bus_reset();
      return WRITE_CHIP_NOT_READY;
    }
    bus.address_step();
  }
  jedec_write(bus, CMD_RESET.address, CMD_RESET.data);
  bus.bus_reset();
  return 0;
}

bool at49f_chip_erase(ProgrammerContext& context) {
  send_sequence(context.bus, SEQ_CHIP_ERASE);
  return wait_for_erase(context, AT49F_ERASE_WAIT_MS, erase_poll(context), 0);
}

bool at49f_block_erase(ProgrammerContext& context, uint32_t address) {
  ProgrammerBus& bus = context.bus;
  address &= 0x7FFFF;
  send_sequence(bus, SEQ_BLOCK_ERASE);
  load_address(bus, address);
  data_cycle(bus, BLOCK_ERASE_COMMAND, static_cast<uint8_t>(address >> 16));
  return wait_for_erase(context, AT49F_ERASE_WAIT_MS, erase_poll(context), address);
}

bool at49f_erase_choice(ProgrammerContext& context, const EraseChoice& choice) {
  bool erased = true;
  switch (choice.target) {
    case EraseTarget::none:
      break;
    case EraseTarget::whole_chip:
      erased = at49f_chip_erase(context);
      break;
    case EraseTarget::block:
      erased = at49f_block_erase(context, choice.block_address);
      break;
  }
  jedec_write(context.bus, CMD_RESET.address, CMD_RESET.data);
  return erased;
}

void at49f_erase(ProgrammerContext& context) {
  context.main_view.set_status_text(text::ERASING);
  const bool erased = at49f_erase_choice(context, choose_erase_block(context));
  if (!erased) context.main_view.dialog().message_box(text::ERASE_ERROR, nullptr, mb::ICON_ERROR);
  context.main_view.set_status_text(u"");
}

}  // namespace fp
