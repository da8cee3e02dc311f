// Programmers for unit tests, each with its own world: one on a recorder
// that answers the port itself (exact traffic, scripted STATUS answers), one
// on the simulated board with a chip in the socket.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/catalogue.h"
#include "chips/common/programmer_context.h"
#include "sim/simulated_board.h"
#include "tests/support/bus_recorder.h"
#include "tests/support/fake_main_view.h"

namespace fp::test {

const ChipDescriptor& catalogue_row(std::u16string_view name);

// Selects a row as the chip list does.
void select_row(ProgrammerContext& context, std::u16string_view name);

// A programmer on a recording port, for exact port traffic.
struct RecordingRig {
  RecordingRig() = default;
  explicit RecordingRig(std::u16string_view row) { select(row); }

  BusRecorder recorder;
  FakeMainView view;
  std::unique_ptr<ProgrammerContext> context =
      std::make_unique<ProgrammerContext>(recorder, recorder, recorder, view, chip_catalogue()[0]);

  void select(std::u16string_view name) { select_row(*context, name); }
  ProgrammerBus& bus() { return context->bus; }
};

// What the recorder of a simulated programmer keeps of its traffic. Nothing
// by default: the programmer then talks to the board directly, at full speed.
enum class Recording { off, every_access, write_cycles };

// A programmer on the simulated board.
struct SimulatedRig {
  explicit SimulatedRig(Recording recording = Recording::off);
  // With the row selected and a fresh model in the socket.
  SimulatedRig(std::u16string_view row, std::string_view model,
               Recording recording = Recording::off);

  sim::SimulatedBoard board;
  sim::VirtualClock clock{board};
  // Sees the priority changes always, the port and the waits unless off.
  BusRecorder recorder;
  FakeMainView view;
  std::unique_ptr<ProgrammerContext> context;

  void select(std::u16string_view name) { select_row(*context, name); }
  ProgrammerBus& bus() { return context->bus; }
  // Inserts a fresh model; fails the test when it does not exist.
  sim::ChipModel& insert(std::string_view model);
  // Inserts a model the test has built (a changed variant, say).
  template <typename Model>
  Model& insert(std::unique_ptr<Model> chip) {
    Model& inserted = *chip;
    board.insert(std::move(chip));
    return inserted;
  }
  [[nodiscard]] std::vector<uint8_t>& memory(const std::string& name = "main");
  [[nodiscard]] const ChipSlots& slots() const { return context->current_chip->slots; }
};

}  // namespace fp::test
