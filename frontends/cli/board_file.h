// The board file of --port sim:FILE, held by one run from loading to saving:
// another run waits for it (told once that it waits) up to PATIENCE, then
// gives up. A save replaces the file whole, so it is always loadable.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/replaced_file.h"
#include "sim/chip_model.h"
#include "sim/chip_store.h"

namespace fp::cli {

// "FILE:LINE: what is wrong" with a board file, in English or Russian.
std::string store_problem_text(const sim::StoreProblem& problem, bool english);

class BoardFile {
 public:
  // Longer than a queue of runs writing whole chips takes.
  static constexpr std::chrono::seconds PATIENCE{60};

  // Throws sim::StoreError, worded in English or Russian.
  BoardFile(const std::string& path, std::function<void()> waiting, bool english);

  // The chips of the file; none for a file just made. Throws sim::StoreError.
  std::vector<std::unique_ptr<sim::ChipModel>> load();
  // What the file said of the socket when it was loaded; a save keeps it
  // unless set_socket changed it.
  [[nodiscard]] const std::optional<sim::StoredSocket>& socket() const { return socket_; }
  void set_socket(std::optional<sim::StoredSocket> socket) { socket_ = std::move(socket); }
  // Throws sim::StoreError.
  void save(const std::vector<sim::ChipModel*>& chips);

 private:
  std::string path_;
  bool english_;
  std::optional<sim::StoredSocket> socket_;
  std::unique_ptr<posix::ReplacedFile> file_;
};

}  // namespace fp::cli
