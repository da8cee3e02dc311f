// The simulated board with each chip model in its socket, fed any port
// traffic and any passing of time. Nothing may crash or trip a sanitizer,
// the chip keeps the size of its memories, and the same traffic on a fresh
// board gives the same reads, the same violations and the same contents.
//
// Input: the first byte picks the socket (empty, or a model); then pairs of
// bytes (operation, value):
//   operation & 3 == 0: out(DATA_PORT, value)
//   operation & 3 == 1: out(CONTROL_PORT, value)
//   operation & 3 == 2: in(STATUS_PORT)
//   operation & 3 == 3: value << ((operation >> 2) & 15) microseconds pass
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/port_io.h"
#include "sim/model_factory.h"
#include "sim/simulated_board.h"

namespace {

struct Outcome {
  std::vector<uint8_t> reads;
  std::vector<std::string> violations;
  std::optional<std::vector<uint8_t>> main_memory;
  std::optional<std::vector<uint8_t>> eeprom;
  std::optional<fp::sim::FuseBytes> fuses;
  uint64_t now_us = 0;
};

std::optional<std::vector<uint8_t>> copy_of(fp::sim::ChipModel* chip, std::string_view which) {
  if (chip == nullptr || chip->memory(which) == nullptr) return std::nullopt;
  return *chip->memory(which);
}

bool same(const std::optional<fp::sim::FuseBytes>& a, const std::optional<fp::sim::FuseBytes>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (a->low == b->low && a->high == b->high && a->extended == b->extended &&
                a->lock == b->lock);
}

Outcome play(std::string_view model, const uint8_t* data, size_t size) {
  fp::sim::SimulatedBoard board;
  if (!model.empty()) {
    board.insert(fp::sim::make_chip_model(model));
    FUZZ_CHECK(board.chip() != nullptr);
  }
  const auto sizes = [&board] {
    const auto main = copy_of(board.chip(), "main");
    const auto eeprom = copy_of(board.chip(), "eeprom");
    return std::pair{main ? main->size() : 0, eeprom ? eeprom->size() : 0};
  };
  const auto sizes_before = sizes();

  Outcome outcome;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t operation = data[i];
    const uint8_t value = data[i + 1];
    switch (operation & 3) {
      case 0:
        board.out(fp::DATA_PORT, value);
        break;
      case 1:
        board.out(fp::CONTROL_PORT, value);
        break;
      case 2:
        outcome.reads.push_back(board.in(fp::STATUS_PORT));
        // Bits 0-2 of STATUS read as 1 whatever happens.
        FUZZ_CHECK((outcome.reads.back() & 0x07) == 0x07);
        break;
      default:
        board.advance_us(uint64_t{value} << ((operation >> 2) & 15));
        break;
    }
  }
  FUZZ_CHECK(sizes() == sizes_before);
  outcome.violations = board.violations();
  outcome.main_memory = copy_of(board.chip(), "main");
  outcome.eeprom = copy_of(board.chip(), "eeprom");
  if (board.chip() != nullptr) outcome.fuses = board.chip()->fuses();
  outcome.now_us = board.now_us();
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // 0: the empty socket, n: the n-th model.
  const auto names = fp::sim::model_names();
  const size_t socket = data[0] % (names.size() + 1);
  const std::string_view model = socket > 0 ? names[socket - 1] : std::string_view();
  const Outcome first = play(model, data + 1, size - 1);
  const Outcome second = play(model, data + 1, size - 1);
  FUZZ_CHECK(first.reads == second.reads);
  FUZZ_CHECK(first.violations == second.violations);
  FUZZ_CHECK(first.main_memory == second.main_memory);
  FUZZ_CHECK(first.eeprom == second.eeprom);
  FUZZ_CHECK(same(first.fuses, second.fuses));
  FUZZ_CHECK(first.now_us == second.now_us);
  return 0;
}
