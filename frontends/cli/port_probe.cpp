#include "frontends/cli/port_probe.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <variant>

#include "app/calibration.h"
#include "frontends/cli/board_connection.h"
#include "frontends/cli/exit_status.h"
#include "frontends/cli/port_choice.h"
#include "platform/posix/direct_port.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/ppdev_port.h"
#include "sim/simulated_board.h"

namespace fp::cli {
namespace {

class Checklist {
 public:
  explicit Checklist(std::ostream& out) : out_(out) {}
  void pass(const std::string& text) { out_ << "[ok]   " << text << '\n'; }
  void fail(const std::string& text, const std::string& remedy = {}) {
    out_ << "[FAIL] " << text << '\n';
    if (!remedy.empty()) out_ << "       " << remedy << '\n';
    failed_ = true;
  }
  void skip(const std::string& text) { out_ << "[--]   " << text << '\n'; }
  [[nodiscard]] int status() const { return failed_ ? EXIT_FAILURE_STATUS : EXIT_SUCCESS_STATUS; }

 private:
  std::ostream& out_;
  bool failed_ = false;
};

bool module_loaded(const std::string& name) {
  std::ifstream modules("/proc/modules");
  for (std::string line; std::getline(modules, line);) {
    if (line.rfind(name + " ", 0) == 0) return true;
  }
  return false;
}

// The status register with its lines named (S7 reads inverted on the port).
std::string status_text(uint8_t status) {
  char text[96];
  std::snprintf(text, sizeof text, "%02Xh (BUSY %d, ACK %d, PE %d, SELECT %d, ERROR %d)", status,
                (status >> 7 & 1) ^ 1, status >> 6 & 1, status >> 5 & 1, status >> 4 & 1,
                status >> 3 & 1);
  return text;
}

void check_timer(PortIo& port, Checklist& list) {
  const TimerRun run = run_board_timer(port);
  if (!run.rose) {
    list.fail("the board's timer does not start (its status bit stays low)",
              "check that the board is connected to this port and powered");
  } else if (!run.fell) {
    list.fail("the board's timer never ends (its status bit stays high)",
              "check that the board is connected to this port and powered; open status lines "
              "without a board read high");
  } else {
    list.pass("the board's timer runs: its status bit rose and fell after " +
              std::to_string(run.polls) + " reads");
  }
}

// Reads the status lines, runs the timer and leaves the board idle, the port released.
void check_board(posix::HeldPort& port, Checklist& list) {
  const uint8_t status = port.in(STATUS_PORT);
  list.pass("the board's status lines read " + status_text(status));
  check_timer(port, list);
  port.set_farewell(idle_board_writes());
  port.release();
  if (port.failure().empty()) {
    list.pass("the board is left idle (programming voltage off) and the port released");
  } else {
    list.fail(port.failure());
  }
}

// What to do when the device could not be opened or claimed, by the errno.
std::string ppdev_remedy(int error_number) {
  switch (error_number) {
    case ENXIO:
    case ENODEV:
      return "no parallel port answers behind the device: run: sudo modprobe parport_pc "
             "(check the BIOS setting or the add-in card; --port sim tries the simulated board)";
    case EBUSY:
      return module_loaded("lp") ? "the printer driver lp holds the port: run: sudo rmmod lp"
                                 : "another program holds the port: close it (a printer "
                                   "daemon such as cups, or another programmer run)";
    case EACCES:
    case EPERM:
      return "ask the machine's administrator for access to the device";
    default:
      return {};
  }
}

void probe_ppdev(const std::string& device, Checklist& list) {
  const posix::FileFacts facts = posix::file_facts(device);
  if (facts.kind == posix::FileKind::missing) {
    list.fail(device + " does not exist",
              "run: sudo modprobe parport_pc ppdev  (no parallel port in the machine: check the "
              "BIOS setting or the add-in card; --port sim tries the simulated board)");
    list.skip("access, claim and board not checked");
    return;
  }
  if (facts.kind != posix::FileKind::character_device) {
    list.fail(device + " is not a device",
              "give the ppdev device of the port: --port ppdev:/dev/parport0");
    list.skip("access, claim and board not checked");
    return;
  }
  list.pass(device + " exists");
  if (const auto refusal = posix::read_write_refusal(device)) {
    const std::string& group = facts.group;
    list.fail(
        "you may not open " + device + " (" + *refusal + "; it belongs to group " + group + ")",
        "run: sudo usermod -aG " + group + " $USER, then log out and in again");
    list.skip("claim and board not checked");
    return;
  }
  list.pass("you may open " + device);
  std::string error;
  int error_number = 0;
  auto port = posix::PpdevPort::open(posix::linux_system_calls(), device, error, &error_number);
  if (!port) {
    list.fail(error, ppdev_remedy(error_number));
    list.skip("board not checked");
    return;
  }
  list.pass("the port is claimed (exclusively)");
  check_board(*port, list);
}

void probe_direct(uint16_t base, Checklist& list) {
  char name[16];
  std::snprintf(name, sizeof name, "%Xh", base);
  std::string error;
  posix::SystemCalls& calls = posix::linux_system_calls();
  auto port = posix::DirectPort::open(calls, base, error);
  if (!port) {
    list.fail("no direct access to the port at " + std::string(name) + ": " + error,
              calls.is_root() ? "use --port ppdev"
                              : "run as root (sudo programmer ...), or use --port ppdev");
    list.skip("board not checked");
    return;
  }
  list.pass("direct access to the port at " + std::string(name));
  if (module_loaded("lp") || module_loaded("parport_pc")) {
    list.fail("a kernel driver may use the port meanwhile", "run: sudo rmmod lp parport_pc");
  }
  check_board(*port, list);
}

}  // namespace

TimerRun run_board_timer(PortIo& port) {
  port.out(CONTROL_PORT, 0x08);
  port.out(CONTROL_PORT, 0x00);
  TimerRun run;
  for (uint32_t reads = 0; reads < TIMER_POLL_LIMIT; ++reads) {
    const bool up = (port.in(STATUS_PORT)&0x08) != 0;
    if (!up) {
      run.fell = run.rose;
      return run;
    }
    run.rose = true;
    ++run.polls;
  }
  return run;
}

int run_probe(const CliOptions& options, Console& console) {
  if (!options.port_origin.empty()) console.note(options.port_origin);
  auto parsed = parse_port(options.port);
  if (const auto* why = std::get_if<std::string>(&parsed)) {
    console.note(*why);
    return EXIT_USAGE_STATUS;
  }
  Checklist list(console.out());
  const PortChoice& choice = std::get<PortChoice>(parsed);
  if (std::holds_alternative<SimulatedPort>(choice)) {
    list.pass(
        "the simulated board: no hardware to connect; every operation runs on simulated "
        "chips (give --port ppdev or direct for a real board)");
    sim::SimulatedBoard board;
    check_timer(board, list);
  } else if (const auto* ppdev = std::get_if<PpdevPortChoice>(&choice)) {
    probe_ppdev(ppdev->device, list);
  } else {
    probe_direct(std::get<DirectPortChoice>(choice).base, list);
  }
  return list.status();
}

}  // namespace fp::cli
