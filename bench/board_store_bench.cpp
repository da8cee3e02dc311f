// The simulated board's file, written and read back once per command-line
// run on --port sim:FILE: a 4-Mbit chip's store, both ways.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "sim/chip_store.h"
#include "sim/model_factory.h"
#include "tests/support/random_bytes.h"

namespace fp {
namespace {

std::unique_ptr<sim::ChipModel> filled_chip() {
  auto chip = sim::make_chip_model("AT29C040A");
  std::vector<uint8_t>& memory = *chip->memory("main");
  memory = test::random_bytes(memory.size(), 7);
  return chip;
}

void BM_BoardStoreText(benchmark::State& state) {
  const auto chip = filled_chip();
  for (auto _ : state) {
    benchmark::DoNotOptimize(sim::board_store_text({chip.get()}, std::nullopt));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 0x80000);
}
BENCHMARK(BM_BoardStoreText)->Unit(benchmark::kMillisecond);

void BM_BoardStoreParse(benchmark::State& state) {
  const auto chip = filled_chip();
  const std::string text = sim::board_store_text({chip.get()}, std::nullopt);
  for (auto _ : state) {
    benchmark::DoNotOptimize(sim::parse_board_store(text, "board.sim"));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 0x80000);
}
BENCHMARK(BM_BoardStoreParse)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fp
