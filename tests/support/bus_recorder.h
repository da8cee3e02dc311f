// One recorder for every test that looks at what the programmer does to the
// board: each port access (port, direction, value), each wait and each
// priority change, in order. Alone it answers STATUS reads from a queue;
// in front of the simulated board it passes everything through.
//
// The decoders read the log back at the level a test is about: the raw port
// lines, the latch loads, the latch protocol (loads and nibble reads, with
// anything else marked as stray), or the bus cycles the chip saw.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/port_io.h"
#include "tests/support/bus_decoder.h"

namespace fp::test {

// A latch strobed: select (LATCH_DATA, LATCH_CTRL, ...) and the value loaded.
struct LatchLoad {
  uint8_t select;
  uint8_t value;
  bool operator==(const LatchLoad&) const = default;
};

// Names of the four latches in text, by select / 2.
using LatchNames = std::array<const char*, 4>;
inline constexpr LatchNames LATCH_NAMES{"data", "ctrl", "lo", "mid"};

// What a recorder keeps. A whole-chip run on the simulated board is tens of
// millions of accesses: a test about its write cycles keeps only those.
enum class Keep { accesses, write_cycles };

class BusRecorder final : public PortIo, public Clock, public Priority {
 public:
  BusRecorder() = default;
  BusRecorder(PortIo& board, Clock& clock, Keep keep = Keep::accesses)
      : board_(&board), clock_(&clock), keep_(keep) {}

  void out(uint16_t port, uint8_t value) override;
  uint8_t in(uint16_t port) override;
  void sleep_ms(uint32_t milliseconds) override;
  void set_priority_class(PriorityClass priority_class) override;

  // Alone: what the next STATUS reads answer, then `status` for ever.
  std::deque<uint8_t> status_queue;
  uint8_t status = 0xFF;
  // Queues the STATUS answers that make read_nibbles return these bytes.
  void queue_bytes(std::initializer_list<uint8_t> bytes);

  // Everything recorded since the start or the last clear(); the decoders
  // below read it, except under Keep::write_cycles, where they refuse.
  [[nodiscard]] const std::vector<Access>& accesses() const;
  void clear();

  // "out 37A 03", "in 379", "sleep 50", "priority high".
  [[nodiscard]] std::vector<std::string> port_lines() const;

  // Every strobe that loads a latch, as the board takes it.
  [[nodiscard]] std::vector<LatchLoad> latch_loads() const;
  // The same as "ctrl 51", "data 40", ...
  [[nodiscard]] std::vector<std::string> load_lines(const LatchNames& names = LATCH_NAMES) const;
  // The values loaded into one latch, in order.
  [[nodiscard]] std::vector<uint8_t> latch_values(uint8_t select) const;

  // The latch protocol: "ctrl C0" for a whole latch load (data, select,
  // strobe, select), "read" for a whole nibble read, the waits and priority
  // changes, and "stray out 37A 05" / "stray in 379" for any access outside
  // those two shapes.
  [[nodiscard]] std::vector<std::string> latch_events(const LatchNames& names = LATCH_NAMES) const;

  // The bus cycles: "write 05555 AA" when the write strobe ends, "read 00000"
  // when the chip is put on the bus, "status read" for a STATUS read outside a
  // bus read, and the waits and priority changes in their place.
  [[nodiscard]] std::vector<std::string> bus_story() const;
  // Under Keep::write_cycles, every write cycle since the start or the last
  // clear(), decoded as the accesses happen.
  [[nodiscard]] std::vector<WriteCycle> write_cycles() const;
  // The addresses of the write cycles that carried this byte, in order.
  [[nodiscard]] std::vector<uint32_t> addresses_of(uint8_t data) const;

  [[nodiscard]] std::vector<uint32_t> waits() const;
  [[nodiscard]] uint64_t slept_ms() const;
  // The class last set, whether or not anything was recorded since.
  [[nodiscard]] PriorityClass priority_class() const { return priority_class_; }

 private:
  void record(const Access& access);

  PortIo* board_ = nullptr;
  Clock* clock_ = nullptr;
  Keep keep_ = Keep::accesses;
  std::vector<Access> accesses_;
  BusDecoder live_decoder_;
  std::vector<WriteCycle> live_cycles_;
  PriorityClass priority_class_ = PriorityClass::normal;
};

std::string write_line(uint32_t address, uint8_t data);
std::string read_line(uint32_t address);

// The lines that start with prefix ("lines", "sleep", ...).
std::vector<std::string> starting_with(const std::vector<std::string>& lines,
                                       const std::string& prefix);

}  // namespace fp::test
