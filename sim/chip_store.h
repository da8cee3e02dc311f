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

class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
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
