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
  auto parsed = parse_port(options.port, console.english());
  if (const auto* why = std::get_if<std::string>(&parsed)) return usage(*why);
  const auto* simulated = std::get_if<SimulatedPort>(&std::get<PortChoice>(parsed));
  if (simulated == nullptr || simulated->store.empty()) {
    return usage("sim " + options.sim_action +
                 console.pick(": give the simulated board's file (--port sim:FILE), the one the "
                              "loop uses",
                              ": укажите файл имитации платы (--port sim:ФАЙЛ), тот же, что у "
                              "цикла"));
  }
  if (simulated->socket)
    return usage("sim " + options.sim_action +
                 console.pick(": no socket= here", ": socket= здесь не применим"));
  const bool insert = options.sim_action == "insert";
  sim::StoredSocket socket;
  std::string name;
  if (insert) {
    if (options.sim_row.empty())
      return usage(console.pick("sim insert: which row? (see: programmer list)",
                                "sim insert: какая строка? (см. programmer list)"));
    auto found = find_row(options.sim_row, console.english());
    if (const auto* why = std::get_if<std::string>(&found)) return usage(*why);
    const ChipDescriptor& row = *std::get<const ChipDescriptor*>(found);
    socket.model = row.facts.model;
    name = to_utf8(row.name);
    for (const std::string& kind : simulated->fault_kinds) {
      if (!socket.faults.empty()) socket.faults += ',';
      socket.faults += kind;
    }
  } else if (!options.sim_row.empty()) {
    return usage(console.pick("sim remove: unexpected argument ", "sim remove: лишний аргумент ") +
                 options.sim_row);
  } else if (!simulated->fault_kinds.empty()) {
    return usage(console.pick("sim remove: a chip taken out has no faults",
                              "sim remove: у вынутой микросхемы нет неисправностей"));
  }
  try {
    BoardFile file(
        simulated->store,
        [&] {
          console.note(simulated->store +
                       console.pick(": another run holds this board file; waiting for it",
                                    ": файл платы занят другим запуском; ожидание"));
        },
        console.english());
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
  const std::string faults =
      socket.faults.empty() ? ""
                            : console.pick(" (faults: ", " (неисправности: ") + socket.faults + ")";
  console.note(
      insert
          ? console.pick("a fresh " + name + " is in the socket", "в панели новая " + name) + faults
          : console.pick("the socket is empty", "панель пуста"));
  return EXIT_SUCCESS_STATUS;
}

}  // namespace fp::cli
