// Per catalogue row, with the row's own chip in the simulated socket:
// - the simulator's speed under the row's read traffic (ns_per_access);
// - a whole-chip write followed by its verify: the wall time here, and the
//   time the same traffic takes on a real board (virtual_s: 1 µs per port
//   access plus every wait), which is what an operator would wait.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/catalogue.h"
#include "platform/utf8.h"
#include "sim/following_socket.h"
#include "sim/model_factory.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/random_bytes.h"

namespace fp {
namespace {

// A programmer with the row selected and a fresh chip of the row's model.
struct RowRig {
  explicit RowRig(const ChipDescriptor& row) : rig(row.name, row.facts.model) {}
  test::SimulatedRig rig;
};

void BM_SimulatedRowRead(benchmark::State& state, const ChipDescriptor* row) {
  RowRig fresh(*row);
  ProgrammerContext& context = *fresh.rig.context;
  const uint64_t accesses_before = fresh.rig.board.port_accesses();
  for (auto _ : state) {
    read_handler (*row)(context, context.image_buffer.data(), 0, row->size);
    benchmark::DoNotOptimize(context.image_buffer.data());
    fresh.rig.view.status_texts.clear();
  }
  const auto accesses = static_cast<double>(fresh.rig.board.port_accesses() - accesses_before);
  state.counters["ns_per_access"] =
      benchmark::Counter(accesses / 1e9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["accesses_per_second"] = benchmark::Counter(accesses, benchmark::Counter::kIsRate);
  state.SetLabel(to_utf8(row->name));
}

void BM_WriteAndVerify(benchmark::State& state, const ChipDescriptor* row) {
  const std::vector<uint8_t> image = test::random_bytes(row->size, row->size);
  double virtual_seconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    RowRig fresh(*row);
    ProgrammerContext& context = *fresh.rig.context;
    std::copy(image.begin(), image.end(), context.image_buffer.begin());
    const uint64_t start_us = fresh.rig.board.now_us();
    state.ResumeTiming();
    const uint32_t written =
        row->slots.on_write(context, context.image_buffer.data(), 0, row->size);
    const uint32_t verified =
        verify_handler(*row)(context, context.image_buffer.data(), 0, row->size);
    state.PauseTiming();
    virtual_seconds = static_cast<double>(fresh.rig.board.now_us() - start_us) / 1e6;
    if (written != 0 || verified != 0 || !fresh.rig.board.violations().empty()) {
      state.SkipWithError("the write or its verify failed on a fresh chip");
    }
    state.ResumeTiming();
  }
  state.counters["virtual_s"] = virtual_seconds;
  state.SetLabel(to_utf8(row->name));
}

// Google Benchmark names are ASCII: "ATTINY2313 - FLASH" becomes ATTINY2313_FLASH.
std::string bench_name(const ChipDescriptor& row) {
  std::string name;
  for (const char c : to_utf8(row.name)) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  return name;
}

const bool registered = [] {
  for (const ChipDescriptor& row : catalogue_rows()) {
    benchmark::RegisterBenchmark(("BM_SimulatedRowRead/" + bench_name(row)).c_str(),
                                 BM_SimulatedRowRead, &row)
        ->Unit(benchmark::kMillisecond);
    if (row.slots.on_write == nullptr) continue;
    benchmark::RegisterBenchmark(("BM_WriteAndVerify/" + bench_name(row)).c_str(),
                                 BM_WriteAndVerify, &row)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  }
  return true;
}();

}  // namespace
}  // namespace fp
