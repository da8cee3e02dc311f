// Helpers shared by the high-voltage family's tests.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sim/model_factory.h"
#include "tests/highvolt/bus_tap.h"
#include "tests/support/fake_main_view.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace fp::test {

// Every latch load of a recorded run, as "select:value" in hex ("2:58").
inline std::vector<std::string> latch_loads(const RecordingPort& port) {
  std::vector<std::string> loads;
  unsigned data = 0;
  for (const auto& event : port.events) {
    unsigned io = 0;
    unsigned value = 0;
    if (std::sscanf(event.c_str(), "out %x %x", &io, &value) != 2) continue;
    if (io == DATA_PORT) data = value;
    if (io == CONTROL_PORT && (value & 1) != 0) {
      char text[16];
      std::snprintf(text, sizeof text, "%u:%02X", value & 6, data);
      loads.emplace_back(text);
    }
  }
  return loads;
}

// A programmer on the simulated board with a tap that notes the write cycles.
struct TappedRig {
  sim::SimulatedBoard board;
  BusTap tap{board};
  sim::VirtualClock clock{board};
  sim::RecordedPriority priority;
  FakeMainView view;
  std::unique_ptr<ProgrammerContext> context =
      std::make_unique<ProgrammerContext>(tap, clock, priority, view, chip_catalogue()[0]);

  explicit TappedRig(std::u16string_view row, std::string_view model) {
    select(row);
    board.insert(sim::make_chip_model(model));
  }

  void select(std::u16string_view name) {
    const ChipDescriptor& row = catalogue_row(name);
    context->current_chip = &row;
    if (row.slots.on_select != nullptr) row.slots.on_select(*context, row);
    context->chip_size = row.size;
  }
  [[nodiscard]] sim::ChipModel& chip() { return *board.chip(); }
  [[nodiscard]] std::vector<uint8_t>& memory() { return *chip().memory("main"); }
  [[nodiscard]] const ChipSlots& slots() const { return context->current_chip->slots; }
};

// Plays "Выбор блоков": checks exactly the given boxes, then presses OK.
inline void accept_blocks(FakeMainView& view, std::initializer_list<int> boxes) {
  const std::set<int> wanted(boxes);
  view.dialog_player = [wanted](int, DialogLogic& logic, FakeDialogView& dialog) {
    for (const int box : {ctl::BLOCK_0, ctl::BLOCK_1, ctl::BLOCK_2, ctl::BLOCK_3}) {
      dialog.set_checked(box, wanted.contains(box));
    }
    logic.on_command(dialog, command_value(ctl::OK_BUTTON));
  };
}

// Plays "Выбор блоков": presses OK on the boxes as the dialog set them.
inline void accept_as_shown(FakeMainView& view) {
  view.dialog_player = [](int, DialogLogic& logic, FakeDialogView& dialog) {
    logic.on_command(dialog, command_value(ctl::OK_BUTTON));
  };
}

}  // namespace fp::test
