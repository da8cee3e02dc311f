#include "bus/programmer_bus.h"

#include <array>

#include "bus/number_text.h"

namespace fp {

void ProgrammerBus::address_step() {
  auto& bytes = bus_address.bytes;
  latch_write(LATCH_ADDR_LO, ++bytes[0]);
  if (bytes[0] != 0) return;
  latch_write(LATCH_ADDR_MID, ++bytes[1]);
  // A16-A18 reach the board with the next control-latch value.
  if (bytes[1] == 0) bytes[2] = static_cast<uint8_t>((bytes[2] + 1) & 7);
  if (progress_prefix != nullptr) show_progress();
}

void ProgrammerBus::show_progress() {
  std::array<char16_t, 64> text{};
  char16_t* position = text.data();
  for (const char16_t* p = progress_prefix; *p != 0 && position < text.data() + 48; ++p) {
    *position++ = *p;
  }
  position = format_hex(bus_address.address(), position);
  *position++ = u'h';
  status_bar_->set_status_text({text.data(), position});
}

void ProgrammerBus::bus_reset() {
  bus_address.set(0);
  latch_write(LATCH_CTRL, CTRL_IDLE);
  latch_write(LATCH_DATA, 0xFF);
  latch_write(LATCH_ADDR_MID, 0x00);
  latch_write(LATCH_ADDR_LO, 0x00);
}

void ProgrammerBus::bus_reset_vpp() {
  bus_address.set(0);
  bus_address.set_vpp_flag(true);
  latch_write(LATCH_CTRL, CTRL_IDLE | CTRL_VPP);
  latch_write(LATCH_DATA, 0xFF);
  latch_write(LATCH_ADDR_MID, 0x00);
  latch_write(LATCH_ADDR_LO, 0x00);
}

}  // namespace fp
