#include "frontends/cli/board_connection.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <variant>

#include "bus/programmer_bus.h"
#include "frontends/cli/board_file.h"
#include "frontends/cli/chip_choice.h"
#include "frontends/cli/system_texts.h"
#include "platform/posix/direct_port.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/ppdev_port.h"
#include "sim/chip_store.h"

namespace fp::cli {
namespace {

constexpr const char* STANDARD_INPUT = "/proc/self/fd/0";
constexpr const char* STANDARD_OUTPUT = "/proc/self/fd/1";

// Longer than any internal operation a simulated chip runs by itself.
constexpr uint64_t SETTLE_US = 10'000'000;

// Why the trace may not go to this file; nothing when it may.
std::optional<std::string> trace_refusal(const std::string& trace, const std::string& store,
                                         const BoardConnection::RunFiles& files, bool english) {
  const std::string refused = "--trace " + trace + ": ";
  if (!files.image.empty() && files.image != "-" && posix::same_file(trace, files.image)) {
    return refused + (english ? "that is the image file; the trace would overwrite it"
                              : "это файл образа; трасса записала бы поверх него");
  }
  if (!store.empty() && posix::same_file(trace, store)) {
    return refused + (english ? "that is the board file; the trace would overwrite it"
                              : "это файл платы; трасса записала бы поверх него");
  }
  if (files.image == "-") {
    const char* stream = files.image_is_output ? STANDARD_OUTPUT : STANDARD_INPUT;
    if (posix::same_file(trace, stream)) {
      if (english) {
        return refused + "that is standard " + (files.image_is_output ? "output" : "input") +
               ", which carries the image";
      }
      return refused + (files.image_is_output ? "это стандартный вывод" : "это стандартный ввод") +
             ", по нему идёт образ";
    }
  }
  return std::nullopt;
}

// The faults a board file keeps for the chip in its socket ("KIND,KIND"),
// added to those of --port, which win where both set one.
std::optional<std::string> merge_stored_faults(const std::string& kinds, sim::ChipFaults& faults,
                                               bool english) {
  sim::ChipFaults stored;
  size_t start = 0;
  while (start < kinds.size()) {
    const size_t end = std::min(kinds.find(',', start), kinds.size());
    if (auto why = add_fault_kind(kinds.substr(start, end - start), stored, english)) return why;
    start = end + 1;
  }
  for (const auto& [address, value] : faults.stuck) stored.stuck[address] = value;
  stored.never_ready = stored.never_ready || faults.never_ready;
  if (faults.never_ready_from) stored.never_ready_from = faults.never_ready_from;
  if (faults.program_pulses) stored.program_pulses = faults.program_pulses;
  if (faults.erase_pulses) stored.erase_pulses = faults.erase_pulses;
  faults = std::move(stored);
  return std::nullopt;
}

}  // namespace

std::vector<posix::PortWrite> idle_board_writes() {
  return {{DATA_PORT, CTRL_IDLE},
          {CONTROL_PORT, LATCH_CTRL},
          {CONTROL_PORT, LATCH_CTRL | 1},
          {CONTROL_PORT, LATCH_CTRL}};
}

std::function<uint64_t()> BoardConnection::now_us() {
  if (held_port_ == nullptr) return [this] { return board_.now_us(); };
  return [] {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(since).count());
  };
}

bool BoardConnection::open(const std::string& port, const std::string& trace_path,
                           const RunFiles& files, RunOutcome& outcome) {
  auto parsed = parse_port(port, console_.english());
  if (const auto* why = std::get_if<std::string>(&parsed)) {
    outcome.usage(*why);
    return false;
  }
  const PortChoice& choice = std::get<PortChoice>(parsed);
  if (!trace_path.empty()) {
    const auto* simulated = std::get_if<SimulatedPort>(&choice);
    if (const auto why = trace_refusal(trace_path, simulated != nullptr ? simulated->store : "",
                                       files, console_.english())) {
      outcome.usage(*why);
      return false;
    }
  }
  if (const auto* simulated = std::get_if<SimulatedPort>(&choice)) {
    if (!open_simulated(*simulated, outcome)) return false;
  } else {
    posix::SystemFailure failure;
    posix::SystemCalls& calls = posix::linux_system_calls();
    if (const auto* ppdev = std::get_if<PpdevPortChoice>(&choice)) {
      held_port_ = posix::PpdevPort::open(calls, ppdev->device, failure);
    } else {
      held_port_ = posix::DirectPort::open(calls, std::get<DirectPortChoice>(choice).base, failure);
    }
    if (!held_port_) {
      outcome.fail(failure_text(failure, console_.english()));
      return false;
    }
    // Leaving, the board goes idle: no programming voltage on a chip nobody watches.
    held_port_->set_farewell(idle_board_writes());
    signal_guard_ = std::make_unique<posix::ReleaseOnSignal>(*held_port_);
    realtime_priority_ = std::make_unique<posix::RealtimePriority>(calls, [this](int error) {
      const std::string why = error_text(error, console_.english());
      console_.note(console_.pick(
          "no real-time scheduling (" + why + "): page loads can then be interrupted",
          "нет планирования реального времени (" + why + "): загрузку страниц могут прерывать"));
    });
    port_ = held_port_.get();
    clock_ = &system_clock_;
    priority_ = realtime_priority_.get();
  }
  if (!trace_path.empty()) {
    trace_path_ = trace_path;
    trace_file_.open(trace_path, std::ios::trunc);
    if (!trace_file_) {
      outcome.fail(
          console_.pick("cannot write the trace file ", "не удаётся записать файл трассы ") +
          trace_path);
      return false;
    }
    trace_ = std::make_unique<headless::Trace>(*port_, *clock_, *priority_, &trace_file_);
    port_ = trace_.get();
    clock_ = trace_.get();
    priority_ = trace_.get();
  }
  board_time_ = std::make_unique<BoardTime>(*port_, *clock_);
  port_ = board_time_.get();
  clock_ = board_time_.get();
  return true;
}

bool BoardConnection::open_simulated(const SimulatedPort& choice, RunOutcome& outcome) {
  // A run on no real board never passes for one.
  console_.note(
      console_.pick("the simulated board (--port sim): no real chip is read or written",
                    "имитация платы (--port sim): настоящая микросхема не читается и не пишется"));
  socket_ = std::make_unique<sim::FollowingSocket>(board_);
  sim::ChipFaults faults = choice.faults;
  if (choice.socket && *choice.socket == "empty") {
    socket_->pin("");
  } else if (choice.socket) {
    auto found = find_row(*choice.socket, console_.english());
    if (const auto* why = std::get_if<std::string>(&found)) {
      outcome.usage("--port ...,socket=" + *choice.socket + ": " + *why);
      return false;
    }
    socket_->pin(std::get<const ChipDescriptor*>(found)->facts.model);
  }
  store_path_ = choice.store;
  if (!store_path_.empty()) {
    try {
      board_file_ = std::make_unique<BoardFile>(
          store_path_,
          [this] {
            const std::string most = std::to_string(BoardFile::PATIENCE.count());
            console_.note(
                store_path_ +
                console_.pick(
                    ": another run holds this board file; waiting for it (" + most + " s at most)",
                    ": файл платы занят другим запуском; ожидание (не более " + most + " с)"));
          },
          console_.english());
      for (auto& chip : board_file_->load()) {
        stored_models_.emplace_back(chip->model_name());
        socket_->stock(std::move(chip));
      }
    } catch (const sim::StoreError& error) {
      outcome.fail(error.what());
      return false;
    }
    // A chip put in by hand (programmer sim insert) stays whatever row is
    // selected, with its own faults besides those of --port.
    if (const auto& stored = board_file_->socket(); stored && !choice.socket) {
      socket_->pin(stored->model);
      if (const auto why = merge_stored_faults(stored->faults, faults, console_.english())) {
        outcome.fail(store_path_ + ": socket " + stored->model + ": " + *why);
        return false;
      }
    }
  }
  socket_->set_faults(faults);
  board_.set_note_language(console_.english() ? sim::NoteLanguage::english
                                              : sim::NoteLanguage::russian);
  board_.set_violation_listener([this](const std::string& text) { console_.note("sim: " + text); });
  port_ = &board_;
  clock_ = &virtual_clock_;
  priority_ = &recorded_priority_;
  return true;
}

void BoardConnection::close(RunOutcome& outcome, bool keep_chips) {
  if (socket_) {
    // As on a real board after the program ends: what the chip has begun it
    // finishes, and the board goes idle. The chip's memory is then what a
    // next run will find.
    board_.advance_us(SETTLE_US);
    for (const posix::PortWrite& write : idle_board_writes()) board_.out(write.port, write.value);
  }
  if (socket_ && board_file_ && keep_chips) {
    try {
      // The chips of the file and the one the command used; not the first
      // row's, which the window's start put into the socket in passing.
      std::vector<sim::ChipModel*> kept;
      for (sim::ChipModel* chip : socket_->chips()) {
        const bool stored = std::find(stored_models_.begin(), stored_models_.end(),
                                      chip->model_name()) != stored_models_.end();
        if (stored || chip == board_.chip()) kept.push_back(chip);
      }
      board_file_->save(kept);
    } catch (const sim::StoreError& error) {
      outcome.fail(error.what());
    }
  }
  board_file_.reset();  // the next run on the file need not wait for this one to end
  if (held_port_) {
    held_port_->release();
    if (const auto& failure = held_port_->failure())
      outcome.fail(failure_text(*failure, console_.english()));
  }
  // A trace cut short (a full disk) is no trace of the run.
  if (trace_file_.is_open() && !trace_file_.flush()) {
    const int error = errno;
    outcome.fail(console_.pick("cannot write the trace file ", "не удаётся записать файл трассы ") +
                 trace_path_ + ": " + error_text(error, console_.english()));
  }
}

}  // namespace fp::cli
