// Sits between the programmer and the simulated board and notes every write
// cycle the chip takes, with the address and voltage the board's lines
// carried at that moment.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/simulated_board.h"

namespace fp::test {

struct WriteCycle {
  uint32_t address;
  uint8_t data;
  bool vpp;
  bool operator==(const WriteCycle&) const = default;
};

class BusTap final : public PortIo {
 public:
  explicit BusTap(sim::SimulatedBoard& board) : board_(board) {}

  void out(uint16_t port, uint8_t value) override {
    const uint8_t before = board_.lines().control;
    board_.out(port, value);
    const sim::BoardLines& lines = board_.lines();
    // The write is taken when the strobe (control bit 5) ends.
    if ((before & 0x20) != 0 && (lines.control & 0x20) == 0) {
      writes.push_back({lines.address(), lines.data, lines.vpp()});
    }
  }
  uint8_t in(uint16_t port) override { return board_.in(port); }

  // The addresses of the write cycles that carried this byte, in order.
  [[nodiscard]] std::vector<uint32_t> addresses_of(uint8_t data) const {
    std::vector<uint32_t> found;
    for (const WriteCycle& cycle : writes) {
      if (cycle.data == data) found.push_back(cycle.address);
    }
    return found;
  }

  std::vector<WriteCycle> writes;

 private:
  sim::SimulatedBoard& board_;
};

}  // namespace fp::test
