// Generic block read, verify and blank check over plain read cycles.
#pragma once

#include <cstdint>

#include "bus/programmer_bus.h"

namespace fp {

void bus_read_block(ProgrammerBus& bus, uint8_t* buffer, uint32_t start, uint32_t count);
// 0 when equal; all bits set at the first difference (bus_address stays on it).
uint32_t bus_verify_block(ProgrammerBus& bus, const uint8_t* buffer, uint32_t start,
                          uint32_t count);
// The same bytes and the same end state as bus_read_block at about half the
// port traffic: the read pattern stays on the control latch while only the
// address latches step (the control latch is loaded again when A16-A18
// change). For chips that read as plain memory while their address changes.
void bus_read_block_held(ProgrammerBus& bus, uint8_t* buffer, uint32_t start, uint32_t count);
// 0 when blank; otherwise the bytes left from the first non-blank one, itself included.
uint32_t bus_blank_check(ProgrammerBus& bus, uint32_t start, uint32_t count);

}  // namespace fp
