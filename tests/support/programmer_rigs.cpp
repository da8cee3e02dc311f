#include "tests/support/programmer_rigs.h"

#include <stdexcept>

#include "platform/utf8.h"
#include "sim/model_factory.h"

namespace fp::test {

const ChipDescriptor& catalogue_row(std::u16string_view name) {
  for (const ChipDescriptor& row : catalogue_rows()) {
    if (name == row.name) return row;
  }
  throw std::invalid_argument("no catalogue row " + to_utf8(name));
}

void select_row(ProgrammerContext& context, std::u16string_view name) {
  const ChipDescriptor& row = catalogue_row(name);
  context.current_chip = &row;
  if (row.slots.on_select != nullptr) row.slots.on_select(context, row);
  context.chip_size = row.size;
}

SimulatedRig::SimulatedRig(Recording recording)
    : recorder(board, clock,
               recording == Recording::write_cycles ? Keep::write_cycles : Keep::accesses) {
  const bool through_recorder = recording != Recording::off;
  PortIo& port = through_recorder ? static_cast<PortIo&>(recorder) : board;
  Clock& waits = through_recorder ? static_cast<Clock&>(recorder) : clock;
  context = std::make_unique<ProgrammerContext>(port, waits, recorder, view, chip_catalogue()[0]);
}

SimulatedRig::SimulatedRig(std::u16string_view row, std::string_view model, Recording recording)
    : SimulatedRig(recording) {
  select(row);
  insert(model);
}

sim::ChipModel& SimulatedRig::insert(std::string_view model) {
  board.insert(sim::make_chip_model(model));
  if (board.chip() == nullptr)
    throw std::invalid_argument("no simulated model " + std::string(model));
  return *board.chip();
}

std::vector<uint8_t>& SimulatedRig::memory(const std::string& name) {
  std::vector<uint8_t>* found = board.chip() != nullptr ? board.chip()->memory(name) : nullptr;
  if (found == nullptr) throw std::invalid_argument("no chip memory " + name);
  return *found;
}

}  // namespace fp::test
