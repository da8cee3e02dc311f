// CPU cost of the core per port access, and the simulated board's speed.
// Both report ns_per_access: wall time divided by port accesses.
#include <benchmark/benchmark.h>

#include <vector>

#include "bus/block_ops.h"
#include "sim/model_factory.h"
#include "sim/simulated_board.h"
#include "tests/support/fake_main_view.h"

namespace fp {
namespace {

// A port that only counts: what is left is the core's own work.
class CountingPort final : public PortIo {
 public:
  void out(uint16_t, uint8_t value) override {
    ++accesses;
    last = value;
  }
  uint8_t in(uint16_t) override {
    ++accesses;
    return last;
  }
  uint64_t accesses = 0;
  uint8_t last = 0;
};

void set_ns_per_access(benchmark::State& state, uint64_t accesses) {
  state.counters["ns_per_access"] =
      benchmark::Counter(static_cast<double>(accesses) / 1e9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["accesses_per_second"] =
      benchmark::Counter(static_cast<double>(accesses), benchmark::Counter::kIsRate);
}

constexpr uint32_t CHIP_SIZE = 0x20000;

void BM_CoreBlockRead(benchmark::State& state) {
  CountingPort port;
  test::FakeMainView view;
  ProgrammerBus bus(port, view);
  bus.progress_prefix = u"Чтение: ";
  std::vector<uint8_t> buffer(CHIP_SIZE);
  for (auto _ : state) {
    bus_read_block(bus, buffer.data(), 0, CHIP_SIZE);
    benchmark::DoNotOptimize(buffer.data());
    view.status_texts.clear();
  }
  set_ns_per_access(state, port.accesses);
}
BENCHMARK(BM_CoreBlockRead)->Unit(benchmark::kMillisecond);

void BM_SimulatedBlockRead(benchmark::State& state, const char* model) {
  sim::SimulatedBoard board;
  board.insert(sim::make_chip_model(model));
  test::FakeMainView view;
  ProgrammerBus bus(board, view);
  std::vector<uint8_t> buffer(CHIP_SIZE);
  for (auto _ : state) {
    bus_read_block(bus, buffer.data(), 0, CHIP_SIZE);
    benchmark::DoNotOptimize(buffer.data());
  }
  set_ns_per_access(state, board.port_accesses());
  state.SetLabel(board.chip() != nullptr ? model : "empty socket");
}
BENCHMARK_CAPTURE(BM_SimulatedBlockRead, empty_socket, "none")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SimulatedBlockRead, at29c010a, "AT29C010A")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SimulatedBlockRead, i28f001bx, "I28F001BX-T")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fp
