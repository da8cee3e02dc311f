#include "frontends/cli/board_file.h"

#include "frontends/cli/system_texts.h"
#include "sim/chip_store.h"

namespace fp::cli {

std::string store_problem_text(const sim::StoreProblem& problem, bool english) {
  if (english) return sim::english(problem);
  using sim::StoreFault;
  const std::string& name = problem.name;
  const std::string& model = problem.model;
  std::string what;
  switch (problem.fault) {
    case StoreFault::not_a_board_file:
      what = "это не файл имитированных микросхем";
      break;
    case StoreFault::socket_twice:
      what = "панель (socket) указана дважды";
      break;
    case StoreFault::socket_without_model:
      what = "для панели (socket) нужна модель микросхемы или empty";
      break;
    case StoreFault::unknown_model:
      what = "неизвестная модель микросхемы " + name;
      break;
    case StoreFault::chip_without_end:
      what = "микросхема (chip) без end";
      break;
    case StoreFault::chip_twice:
      what = "микросхема " + name + " указана дважды";
      break;
    case StoreFault::outside_a_chip:
      what = name + " вне микросхемы (chip ... end)";
      break;
    case StoreFault::memory_without_size:
      what = "для памяти (memory) нужны имя и размер";
      break;
    case StoreFault::no_such_memory:
      what = "у " + model + " нет памяти " + name;
      break;
    case StoreFault::memory_size:
      what = "память " + name + " у " + model + " — " + std::to_string(problem.held) +
             " байтов, а не " + std::to_string(problem.given);
      break;
    case StoreFault::memory_ends_early:
      what = "память " + name + " кончается раньше времени";
      break;
    case StoreFault::not_hexadecimal:
      what = "строка не из шестнадцатеричных байтов";
      break;
    case StoreFault::memory_too_long:
      what = "в памяти " + name + " лишние байты";
      break;
    case StoreFault::state_without_bytes:
      what = "для состояния (state) нужны имя и шестнадцатеричные байты";
      break;
    case StoreFault::state_does_not_fit:
      what = "состояние не подходит к " + model;
      break;
    case StoreFault::unknown_keyword:
      what = "неизвестное ключевое слово " + name;
      break;
    case StoreFault::last_chip_without_end:
      what = "у последней микросхемы нет end";
      break;
  }
  return problem.path + ":" + std::to_string(problem.line) + ": " + what;
}

BoardFile::BoardFile(const std::string& path, std::function<void()> waiting, bool english)
    : path_(path), english_(english) {
  try {
    posix::HoldRules rules;
    rules.patience = PATIENCE;
    rules.waiting = std::move(waiting);
    // A board file made read-only is kept read-only, not refused.
    rules.writable = false;
    file_ = std::make_unique<posix::ReplacedFile>(path, rules);
  } catch (const posix::FileError& error) {
    throw sim::StoreError(failure_text(error.failure(), english_));
  }
}

std::vector<std::unique_ptr<sim::ChipModel>> BoardFile::load() {
  try {
    sim::BoardStore store = sim::parse_board_store(file_->content(sim::CHIP_STORE_LIMIT), path_);
    socket_ = store.socket;
    return std::move(store.chips);
  } catch (const sim::StoreError& error) {
    if (!error.problem()) throw;
    throw sim::StoreError(store_problem_text(*error.problem(), english_));
  } catch (const posix::FileError& error) {
    throw sim::StoreError(failure_text(error.failure(), english_));
  }
}

void BoardFile::save(const std::vector<sim::ChipModel*>& chips) {
  // An ending signal waits: the file is replaced whole or not at all.
  const posix::DeferredSignals signals_wait;
  try {
    file_->replace(sim::board_store_text(chips, socket_));
  } catch (const posix::FileError& error) {
    throw sim::StoreError(failure_text(error.failure(), english_));
  }
}

}  // namespace fp::cli
