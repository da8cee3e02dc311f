// The walk that read, verify and blank check share: the address high byte is
// loaded once at the start and again at each wrap of the low byte; the low
// byte is loaded before every unit (flash word or EEPROM byte).
#pragma once

#include <cstdint>

#include "chips/attiny/attiny_bus.h"
#include "chips/common/programmer_context.h"

namespace fp {

// Calls unit(index) for count units from address first; stops at the first
// unit that returns false. True when every unit passed.
template <typename Unit>
bool address_walk(ProgrammerContext& context, uint32_t first, uint32_t count, Unit&& unit) {
  if (count == 0) return true;
  auto low = static_cast<uint8_t>(first);
  auto high = static_cast<uint8_t>(first >> 8);
  hvpp_load_address_high(context, high);
  for (uint32_t index = 0;;) {
    hvpp_load_address_low(context, low);
    if (!unit(index)) return false;
    if (++index == count) return true;
    if (++low == 0) hvpp_load_address_high(context, ++high);
  }
}

}  // namespace fp
