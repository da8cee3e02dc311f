// Simulated chips kept in a text file between runs: for each chip its model
// name, its memories in hexadecimal and its lasting state (fuses, lock bits,
// protection). Saving writes a new file beside the old one and renames it
// over, so an interrupted save leaves the old file whole.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/chip_model.h"

namespace fp::sim {

class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The chips of the file; none when it does not exist. Throws StoreError.
std::vector<std::unique_ptr<ChipModel>> load_chip_store(const std::string& path);

// Throws StoreError.
void save_chip_store(const std::string& path, const std::vector<ChipModel*>& chips);

}  // namespace fp::sim
