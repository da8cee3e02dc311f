// The state of one running programmer: the bus, the services of the machine,
// the main window, the image buffer and the selected chip. The entry point
// owns one and passes it by reference; every test builds its own.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "bus/programmer_bus.h"
#include "chips/common/chip_descriptor.h"
#include "chips/common/highvolt_state.h"
#include "platform/port_io.h"
#include "ui/views.h"

namespace fp {

inline constexpr uint32_t IMAGE_BUFFER_SIZE = 0x80000;

// How the handlers wait for a chip's own programming and erasing: the fixed
// waits of the window, or asking the chip until it reports ready, within a
// bound for each kind of wait.
enum class ChipWaits { fixed, poll };

// Page loads timed against the chip's byte-load limit: a load whose bytes
// came further apart than that (the process was preempted in the middle) was
// cut in two by the chip, and the page is loaded again. The window does not
// time its loads.
struct PageLoadTiming {
  // Microseconds from any fixed point; empty: loads are not timed.
  std::function<uint64_t()> now_us;
  uint32_t reloads = 0;    // pages loaded again
  uint32_t late_page = 0;  // the page given up on (WRITE_PAGE_LOAD_LATE)
  // Pages sent with no command before their data: a chip whose software data
  // protection is on takes none of them.
  uint32_t plain_loads = 0;
};

// Polls that did not see the chip ready within their back-to-back reads and
// went on sleeping between reads: a chip slower than usual shows here.
struct LongPolls {
  uint32_t count = 0;
  uint32_t longest_ms = 0;  // the most sleep one of them took
};

struct ProgrammerContext {
  ProgrammerContext(PortIo& port, Clock& clock_service, Priority& priority_service, MainView& view,
                    const ChipDescriptor& first_row)
      : bus(port, view),
        clock(clock_service),
        priority(priority_service),
        main_view(view),
        current_chip(&first_row),
        chip_size(first_row.size) {}

  ProgrammerBus bus;
  Clock& clock;
  Priority& priority;
  MainView& main_view;

  // Between file and chip; its start is also scratch space for short texts.
  std::vector<uint8_t> image_buffer = std::vector<uint8_t>(IMAGE_BUFFER_SIZE);

  const ChipDescriptor* current_chip;
  uint32_t chip_size;
  uint32_t calibrated = 0;

  // The slice of one command.
  uint32_t file_offset = 0;
  uint32_t rom_offset = 0;
  uint32_t block_length = 0;

  HighVoltState highvolt;

  // The window never changes it; the command line asks the chip by default.
  ChipWaits chip_waits = ChipWaits::fixed;
  PageLoadTiming page_loads;
  LongPolls long_polls;

  // Told after every chip selection (the simulator's socket follows it).
  std::function<void(const ChipDescriptor&)> chip_selected;
};

}  // namespace fp
