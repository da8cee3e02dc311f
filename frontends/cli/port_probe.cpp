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
#include "frontends/cli/system_texts.h"
#include "platform/posix/direct_port.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/ppdev_port.h"
#include "sim/simulated_board.h"

namespace fp::cli {
namespace {

class Checklist {
 public:
  Checklist(std::ostream& out, bool english) : out_(out), english_(english) {}
  // The checklist's own text in the run's language.
  [[nodiscard]] std::string pick(const std::string& english, const std::string& russian) const {
    return english_ ? english : russian;
  }
  [[nodiscard]] bool english() const { return english_; }
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
  bool english_;
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
  const std::string connected =
      list.pick("check that the board is connected to this port and powered",
                "проверьте, что плата подключена к этому порту и на неё подано питание");
  if (!run.rose) {
    list.fail(list.pick("the board's timer does not start (its status bit stays low)",
                        "таймер платы не запускается (его бит состояния остаётся 0)"),
              connected);
  } else if (!run.fell) {
    list.fail(list.pick("the board's timer never ends (its status bit stays high)",
                        "таймер платы не останавливается (его бит состояния остаётся 1)"),
              connected + list.pick("; open status lines without a board read high",
                                    "; линии состояния без платы читаются как 1"));
  } else {
    const std::string reads = std::to_string(run.polls);
    list.pass(list.pick(
        "the board's timer runs: its status bit rose and fell after " + reads + " reads",
        "таймер платы работает: его бит состояния поднялся и опустился, чтений: " + reads));
  }
}

// Reads the status lines, runs the timer and leaves the board idle, the port released.
void check_board(posix::HeldPort& port, Checklist& list) {
  const uint8_t status = port.in(STATUS_PORT);
  list.pass(list.pick("the board's status lines read ", "линии состояния платы: ") +
            status_text(status));
  check_timer(port, list);
  port.set_farewell(idle_board_writes());
  port.release();
  if (!port.failure()) {
    list.pass(list.pick("the board is left idle (programming voltage off) and the port released",
                        "плата оставлена в покое (напряжение программирования снято), порт "
                        "освобождён"));
  } else {
    list.fail(failure_text(*port.failure(), list.english()));
  }
}

// What to do when the device could not be opened or claimed, by the errno.
std::string ppdev_remedy(int error_number, const Checklist& list) {
  switch (error_number) {
    case ENXIO:
    case ENODEV:
      return list.pick(
          "no parallel port answers behind the device: run: sudo modprobe parport_pc "
          "(check the BIOS setting or the add-in card; --port sim tries the "
          "simulated board)",
          "за устройством не отвечает ни один параллельный порт: выполните: sudo "
          "modprobe parport_pc (проверьте настройку BIOS или плату расширения; "
          "--port sim — имитация платы)");
    case EBUSY:
      return module_loaded("lp")
                 ? list.pick("the printer driver lp holds the port: run: sudo rmmod lp",
                             "порт занят драйвером принтера lp: выполните: sudo rmmod lp")
                 : list.pick(
                       "another program holds the port: close it (a printer daemon such "
                       "as cups, or another programmer run)",
                       "порт занят другой программой: закройте её (служба печати, например "
                       "cups, или другой запуск programmer)");
    case EACCES:
    case EPERM:
      return list.pick("ask the machine's administrator for access to the device",
                       "попросите администратора машины дать доступ к устройству");
    default:
      return {};
  }
}

void probe_ppdev(const std::string& device, Checklist& list) {
  const posix::FileFacts facts = posix::file_facts(device);
  const std::string nothing_checked =
      list.pick("access, claim and board not checked", "доступ, захват порта и плата не проверены");
  if (facts.kind == posix::FileKind::missing) {
    list.fail(device + list.pick(" does not exist", " не существует"),
              list.pick("run: sudo modprobe parport_pc ppdev  (no parallel port in the machine: "
                        "check the BIOS setting or the add-in card; --port sim tries the "
                        "simulated board)",
                        "выполните: sudo modprobe parport_pc ppdev  (если параллельного порта в "
                        "машине нет: проверьте настройку BIOS или плату расширения; --port sim — "
                        "имитация платы)"));
    list.skip(nothing_checked);
    return;
  }
  if (facts.kind != posix::FileKind::character_device) {
    list.fail(device + list.pick(" is not a device", " — не устройство"),
              list.pick("give the ppdev device of the port: --port ppdev:/dev/parport0",
                        "укажите устройство ppdev порта: --port ppdev:/dev/parport0"));
    list.skip(nothing_checked);
    return;
  }
  list.pass(device + list.pick(" exists", " существует"));
  if (const auto refusal_number = posix::read_write_refusal(device)) {
    const std::string refusal = error_text(*refusal_number, list.english());
    const std::string& group = facts.group;
    list.fail(list.pick("you may not open " + device + " (" + refusal + "; it belongs to group " +
                            group + ")",
                        "нет права открыть " + device + " (" + refusal +
                            "; устройство "
                            "принадлежит группе " +
                            group + ")"),
              list.pick("run: sudo usermod -aG " + group + " $USER, then log out and in again",
                        "выполните: sudo usermod -aG " + group +
                            " $USER, затем выйдите из системы и войдите снова"));
    list.skip(list.pick("claim and board not checked", "захват порта и плата не проверены"));
    return;
  }
  list.pass(list.pick("you may open ", "есть право открыть ") + device);
  posix::SystemFailure failure;
  auto port = posix::PpdevPort::open(posix::linux_system_calls(), device, failure);
  const std::string board_unchecked = list.pick("board not checked", "плата не проверена");
  if (!port) {
    list.fail(failure_text(failure, list.english()), ppdev_remedy(failure.error, list));
    list.skip(board_unchecked);
    return;
  }
  list.pass(list.pick("the port is claimed (exclusively)", "порт захвачен (монопольно)"));
  check_board(*port, list);
}

void probe_direct(uint16_t base, Checklist& list) {
  char name[16];
  std::snprintf(name, sizeof name, "%Xh", base);
  posix::SystemFailure failure;
  posix::SystemCalls& calls = posix::linux_system_calls();
  auto port = posix::DirectPort::open(calls, base, failure);
  if (!port) {
    list.fail(list.pick("no direct access to the port at ", "нет прямого доступа к порту ") + name +
                  ": " + failure_text(failure, list.english()),
              calls.is_root() ? list.pick("use --port ppdev", "используйте --port ppdev")
                              : list.pick("run as root (sudo programmer ...), or use --port ppdev",
                                          "запустите от root (sudo programmer ...) или "
                                          "используйте --port ppdev"));
    list.skip(list.pick("board not checked", "плата не проверена"));
    return;
  }
  list.pass(list.pick("direct access to the port at ", "прямой доступ к порту ") + name);
  if (module_loaded("lp") || module_loaded("parport_pc")) {
    list.fail(list.pick("a kernel driver may use the port meanwhile",
                        "драйвер ядра может тем временем обращаться к порту"),
              list.pick("run: sudo rmmod lp parport_pc", "выполните: sudo rmmod lp parport_pc"));
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
  auto parsed = parse_port(options.port, console.english());
  if (const auto* why = std::get_if<std::string>(&parsed)) {
    console.note(*why);
    return EXIT_USAGE_STATUS;
  }
  Checklist list(console.out(), console.english());
  const PortChoice& choice = std::get<PortChoice>(parsed);
  if (std::holds_alternative<SimulatedPort>(choice)) {
    list.pass(
        list.pick("the simulated board: no hardware to connect; every operation runs on "
                  "simulated chips (give --port ppdev or direct for a real board)",
                  "имитация платы: подключать нечего; все операции выполняются на "
                  "имитированных микросхемах (для настоящей платы укажите --port ppdev или "
                  "direct)"));
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
