#include "chips/jedec/page_write.h"

#include <algorithm>
#include <vector>

#include "bus/block_ops.h"
#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_waits.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

// The chip writes a whole page and fills the bytes it was not sent with 0xFF,
// so the bytes of the last page beyond the block are read from the chip first
// and sent back unchanged.
std::vector<uint8_t> compose_last_page(ProgrammerContext& context, const uint8_t* block_tail,
                                       uint32_t address, uint32_t covered, uint32_t page_size) {
  std::vector<uint8_t> page(block_tail, block_tail + covered);
  page.resize(page_size);
  ProgrammerBus& bus = context.bus;
  // The status bar shows how far the write has come, not this short read.
  const char16_t* prefix = bus.progress_prefix;
  bus.progress_prefix = nullptr;
  bus_read_block(bus, page.data() + covered, address + covered, page_size - covered);
  bus.progress_prefix = prefix;
  return page;
}

// A page written and reported ready that reads back all 0xFF although other
// bytes were sent: the data lines float, as over an empty socket. The ready
// poll's last read of the page's last byte is the first sign (that read may
// still have caught the chip's last status: the byte is read once more);
// only then is the page read whole. A byte or two that differ are left to
// the verify (a stuck cell).
bool page_reads_erased(ProgrammerContext& context, uint32_t address,
                       const std::vector<uint8_t>& sent, uint8_t last_read) {
  const auto erased = [](uint8_t byte) { return byte == 0xFF; };
  if (last_read == sent.back() || last_read != 0xFF) return false;
  if (std::all_of(sent.begin(), sent.end(), erased)) return false;
  ProgrammerBus& bus = context.bus;
  const BusAddress next = bus.bus_address;
  const char16_t* prefix = bus.progress_prefix;
  bus.progress_prefix = nullptr;
  std::vector<uint8_t> back(sent.size());
  const uint32_t last = static_cast<uint32_t>(sent.size() - 1);
  bus_read_block(bus, back.data() + last, address + last, 1);
  if (back[last] == 0xFF) bus_read_block(bus, back.data(), address, last);
  bus.progress_prefix = prefix;
  bus.bus_address = next;
  return std::all_of(back.begin(), back.end(), erased);
}

}  // namespace

std::span<const BusCycle> page_load_command(const ProgrammerContext& context,
                                            std::span<const BusCycle> window_command) {
  if (context.chip_waits == ChipWaits::fixed) return window_command;
  return SEQ_PROGRAM;
}

void send_page_data(ProgrammerBus& bus, const uint8_t* source, uint32_t count, uint8_t high_bits) {
  send_timed_page_data(bus, source, count, high_bits, nullptr, false);
}

uint64_t send_timed_page_data(ProgrammerBus& bus, const uint8_t* source, uint32_t count,
                              uint8_t high_bits, const std::function<uint64_t()>* now_us,
                              bool short_strobes) {
  const uint32_t address = bus.bus_address.address();
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
  const auto control = [high_bits](uint8_t lines) {
    return static_cast<uint8_t>(lines | high_bits);
  };
  if (short_strobes) bus.latch_write(LATCH_CTRL, control(CTRL_WRITE_SETUP));
  uint64_t longest_gap = 0;
  uint64_t last_cycle = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (short_strobes) {
      // The strobe ends back in the write setup, where the next byte's data
      // and address are loaded: the chip takes both on the strobe's edges.
      bus.latch_write(LATCH_DATA, source[i]);
      bus.latch_write(LATCH_CTRL, control(CTRL_WRITE_PULSE));
      bus.latch_write(LATCH_CTRL, control(CTRL_WRITE_SETUP));
    } else {
      data_cycle(bus, source[i], high_bits);
    }
    if (now_us != nullptr) {
      const uint64_t now = (*now_us)();
      if (i > 0) longest_gap = std::max(longest_gap, now - last_cycle);
      last_cycle = now;
    }
    bus.address_step();
  }
  if (short_strobes) bus.latch_write(LATCH_CTRL, control(CTRL_IDLE));
  return longest_gap;
}

uint32_t load_page(ProgrammerContext& context, uint32_t address, const uint8_t* source,
                   uint32_t count, std::span<const BusCycle> command, uint32_t fixed_wait_ms,
                   uint64_t byte_load_limit_us) {
  // Copied before the priority is raised: nothing but port writes may come
  // between two data cycles of a page.
  const std::vector<uint8_t> page(source, source + count);
  ProgrammerBus& bus = context.bus;
  PageLoadTiming& timing = context.page_loads;
  const bool timed = timing.now_us && context.chip_waits == ChipWaits::poll;
  if (command.empty()) ++timing.plain_loads;
  for (uint32_t attempt = 1;; ++attempt) {
    context.priority.set_priority_class(PriorityClass::high);
    bus.bus_address.set(address);
    const uint8_t high_bits = bus.bus_address.high_bits();
    send_sequence(bus, command);
    const uint64_t longest_gap =
        send_timed_page_data(bus, page.data(), count, high_bits, timed ? &timing.now_us : nullptr,
                             context.chip_waits == ChipWaits::poll);
    context.priority.set_priority_class(PriorityClass::normal);
    // A load cut in two is written as two pages, both waited for here.
    uint8_t last_read = page.back();
    if (!wait_for_page_write(context, fixed_wait_ms, address + count - 1, &last_read)) {
      return WRITE_CHIP_NOT_READY;
    }
    if (longest_gap <= byte_load_limit_us) {
      // The window's own waits read nothing back: its trace stays as it is.
      if (context.chip_waits == ChipWaits::poll &&
          page_reads_erased(context, address, page, last_read)) {
        return WRITE_NO_ANSWER;
      }
      return 0;
    }
    if (attempt == PAGE_LOAD_TRIES) {
      timing.late_page = address;
      return WRITE_PAGE_LOAD_LATE;
    }
    ++timing.reloads;
  }
}

uint32_t paged_write(ProgrammerContext& context, const uint8_t* buffer, uint32_t rom_offset,
                     uint32_t length, uint32_t page_size, PageRoutine page_routine) {
  if ((rom_offset & (page_size - 1)) != 0) {
    context.main_view.dialog().message_box(text::BAD_EXTRA_PARAMETERS, text::PROGRAMMER,
                                           mb::OK | mb::ICON_ERROR);
    return 1;
  }
  int64_t remaining = length;
  while (remaining > 0) {
    uint32_t result = 0;
    if (remaining >= page_size) {
      result = page_routine(context, rom_offset, buffer, page_size);
    } else {
      const std::vector<uint8_t> page = compose_last_page(
          context, buffer, rom_offset, static_cast<uint32_t>(remaining), page_size);
      result = page_routine(context, rom_offset, page.data(), page_size);
    }
    // A chip still busy would ignore the next page.
    if (result != 0) return result;
    buffer += page_size;
    rom_offset += page_size;
    remaining -= page_size;
  }
  return 0;
}

}  // namespace fp
