#include "frontends/cli/board_file.h"

#include "frontends/cli/system_texts.h"
#include "sim/chip_store.h"

namespace fp::cli {

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
