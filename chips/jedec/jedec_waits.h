// The waits for the chip's own work after a page load or an erase command:
// the window's fixed sleep, or the chip asked until it reports ready, as the
// context's chip_waits says. Each returns false when the chip never did.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"
#include "chips/common/ready_poll.h"

namespace fp {

// After the data cycles of a page; polled at the page's last byte, whose
// last read goes to last_read when the chip is asked (the fixed wait reads
// nothing and leaves it alone).
bool wait_for_page_write(ProgrammerContext& context, uint32_t fixed_ms, uint32_t last_address,
                         uint8_t* last_read = nullptr);

// After the data cycle of a byte program, at the byte's address, which the
// latches and bus_address hold: the byte read back, or the toggle bit stopped.
bool wait_for_byte_program(ProgrammerContext& context, uint8_t data);

// After a chip or sector erase command; polled at poll_address, which for a
// sector or block erase lies inside the erasing one: some chips answer busy
// only there. bus_address is left as it was.
bool wait_for_erase(ProgrammerContext& context, uint32_t fixed_ms, const PollBound& bound,
                    uint32_t poll_address);

}  // namespace fp
