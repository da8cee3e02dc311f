#include "frontends/cli/sim_socket.h"

#include <algorithm>
#include <variant>

#include "frontends/cli/board_file.h"
#include "frontends/cli/chip_choice.h"
#include "frontends/cli/exit_status.h"
#include "frontends/cli/port_choice.h"
#include "platform/utf8.h"

namespace fp::cli {

int run_sim_command(const CliOptions& options, Console& console) {
  const auto usage = [&console](const std::string& why) {
    console.note(why);
    return EXIT_USAGE_STATUS;
  };
  auto parsed = parse_port(options.port);
  if (const auto* why = std::get_if<std::string>(&parsed)) return usage(*why);
  const auto* simulated = std::get_if<SimulatedPort>(&std::get<PortChoice>(parsed));
  if (simulated == nullptr || simulated->store.empty()) {
    return usage("sim " + options.sim_action +
                 ": give the simulated board's file (--port sim:FILE), the one the loop uses");
  }
  if (simulated->socket) return usage("sim " + options.sim_action + ": no socket= here");
  const bool insert = options.sim_action == "insert";
  sim::StoredSocket socket;
  std::string name;
  if (insert) {
    if (options.sim_row.empty()) return usage("sim insert: which row? (see: programmer list)");
    auto found = find_row(options.sim_row);
    if (const auto* why = std::get_if<std::string>(&found)) return usage(*why);
    const ChipDescriptor& row = *std::get<const ChipDescriptor*>(found);
    socket.model = row.facts.model;
    name = to_utf8(row.name);
    for (const std::string& kind : simulated->fault_kinds) {
      if (!socket.faults.empty()) socket.faults += ',';
      socket.faults += kind;
    }
  } else if (!options.sim_row.empty()) {
    return usage("sim remove: unexpected argument " + options.sim_row);
  } else if (!simulated->fault_kinds.empty()) {
    return usage("sim remove: a chip taken out has no faults");
  }
  try {
    BoardFile file(simulated->store, [&] {
      console.note(simulated->store + ": another run holds this board file; waiting for it");
    });
    auto chips = file.load();
    if (insert) {
      // A fresh chip: the one of that type the file kept is gone with the last one taken out.
      std::erase_if(chips,
                    [&socket](const auto& chip) { return chip->model_name() == socket.model; });
    }
    file.set_socket(socket);
    std::vector<sim::ChipModel*> kept;
    for (const auto& chip : chips) kept.push_back(chip.get());
    file.save(kept);
  } catch (const sim::StoreError& error) {
    console.note(error.what());
    return EXIT_FAILURE_STATUS;
  }
  console.note(insert ? "a fresh " + name + " is in the socket" +
                            (socket.faults.empty() ? "" : " (faults: " + socket.faults + ")")
                      : std::string("the socket is empty"));
  return EXIT_SUCCESS_STATUS;
}

}  // namespace fp::cli
