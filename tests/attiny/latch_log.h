// Port and clock decorator for the ATtiny2313 tests: every latch load is
// logged by name ("ctrl 48", "lines 1A", "data 10"), every read of the data
// bus as "read" and every wait as "sleep N", in one list, in order.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/port_io.h"

namespace fp::test {

class LatchLog final : public PortIo, public Clock {
 public:
  LatchLog(PortIo& port, Clock& clock) : port_(port), clock_(clock) {}

  void out(uint16_t port, uint8_t value) override {
    port_.out(port, value);
    if (port == DATA_PORT) data_ = value;
    if (port != CONTROL_PORT) return;
    control_ = value;
    if ((value & 1) != 0) {
      static constexpr const char* NAMES[] = {"data", "ctrl", "lines", "mid"};
      char line[16];
      std::snprintf(line, sizeof line, "%s %02X", NAMES[(value >> 1) & 3], data_);
      events.emplace_back(line);
    }
  }
  uint8_t in(uint16_t port) override {
    const uint8_t value = port_.in(port);
    // read_nibbles ends with the high nibble under CONTROL 0x02.
    if (port == STATUS_PORT && control_ == 0x02) events.emplace_back("read");
    return value;
  }
  void sleep_ms(uint32_t milliseconds) override {
    clock_.sleep_ms(milliseconds);
    events.push_back("sleep " + std::to_string(milliseconds));
  }

  // The events that match a prefix ("lines", "sleep", ...).
  [[nodiscard]] std::vector<std::string> only(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const auto& event : events) {
      if (event.rfind(prefix, 0) == 0) matching.push_back(event);
    }
    return matching;
  }

  std::vector<std::string> events;

 private:
  PortIo& port_;
  Clock& clock_;
  uint8_t data_ = 0;
  uint8_t control_ = 0;
};

class NoClock final : public Clock {
 public:
  void sleep_ms(uint32_t) override {}
};

}  // namespace fp::test
