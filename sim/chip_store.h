// Simulated chips kept in a text file between runs: for each chip its model
// name, its memories in hexadecimal and its lasting state (fuses, lock bits,
// protection). This is the text; who holds and replaces the file is the
// frontend's business.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/chip_model.h"

namespace fp::sim {

// What is wrong with a line of a board file, as facts for any wording.
enum class StoreFault {
  not_a_board_file,
  socket_twice,
  socket_without_model,
  unknown_model,  // name
  chip_without_end,
  chip_twice,      // name
  outside_a_chip,  // name: the keyword
  memory_without_size,
  no_such_memory,     // model, name
  memory_size,        // model, name, held, given
  memory_ends_early,  // name
  not_hexadecimal,
  memory_too_long,  // name
  state_without_bytes,
  state_does_not_fit,  // model
  unknown_keyword,     // name
  last_chip_without_end,
};

struct StoreProblem {
  StoreFault fault = StoreFault::not_a_board_file;
  std::string path;
  size_t line = 0;
  std::string model;
  std::string name;
  size_t held = 0;
  size_t given = 0;
};

// "FILE:LINE: what is wrong", in English.
std::string english(const StoreProblem& problem);

// what() is the English wording; problem(), when the text was read, the facts.
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  explicit StoreError(StoreProblem problem)
      : std::runtime_error(english(problem)), problem_(std::move(problem)) {}
  [[nodiscard]] const std::optional<StoreProblem>& problem() const { return problem_; }

 private:
  std::optional<StoreProblem> problem_;
};

// More than the text of every chip model at once takes: a longer board file
// is none, whatever it holds.
constexpr size_t CHIP_STORE_LIMIT = size_t{16} << 20;

// The chips the text holds; none for an empty text (a board file just made).
// Throws StoreError naming the file and the line.
std::vector<std::unique_ptr<ChipModel>> parse_chip_store(const std::string& text,
                                                         const std::string& file_name);

std::string chip_store_text(const std::vector<ChipModel*>& chips);

// What a board file says is in the socket, when it says so (a chip put in
// or taken out by hand): a chip model, or none for an empty socket, with the
// faults of that chip as the --port option spells them (fault=KIND,...).
struct StoredSocket {
  std::string model;  // empty: the socket is empty
  std::string faults;
  bool operator==(const StoredSocket&) const = default;
};

struct BoardStore {
  std::vector<std::unique_ptr<ChipModel>> chips;
  std::optional<StoredSocket> socket;
};

// The same text with its socket line, when there is one. Throws StoreError.
BoardStore parse_board_store(const std::string& text, const std::string& file_name);
std::string board_store_text(const std::vector<ChipModel*>& chips,
                             const std::optional<StoredSocket>& socket);

}  // namespace fp::sim
