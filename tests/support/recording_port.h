// A port that records every access as text ("out 37A 03", "in 379") and
// answers STATUS reads from a queue, then with a fixed value.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "platform/port_io.h"

namespace fp::test {

class RecordingPort final : public PortIo {
 public:
  void out(uint16_t port, uint8_t value) override {
    char line[16];
    std::snprintf(line, sizeof line, "out %03X %02X", port, value);
    events.emplace_back(line);
  }
  uint8_t in(uint16_t port) override {
    char line[16];
    std::snprintf(line, sizeof line, "in %03X", port);
    events.emplace_back(line);
    if (!status_queue.empty()) {
      const uint8_t value = status_queue.front();
      status_queue.pop_front();
      return value;
    }
    return status;
  }

  // The values written to one latch, in order, decoded from the strobes.
  [[nodiscard]] std::vector<uint8_t> latch_values(uint8_t select) const {
    std::vector<uint8_t> values;
    unsigned data = 0;
    for (const auto& event : events) {
      unsigned port = 0;
      unsigned value = 0;
      if (std::sscanf(event.c_str(), "out %x %x", &port, &value) != 2) continue;
      if (port == DATA_PORT) data = value;
      if (port == CONTROL_PORT && value == (select | 1u))
        values.push_back(static_cast<uint8_t>(data));
    }
    return values;
  }

  std::vector<std::string> events;
  std::deque<uint8_t> status_queue;
  uint8_t status = 0xFF;
};

// Records sleeps and priority changes in one list, in order.
class RecordingServices final : public Clock, public Priority {
 public:
  void sleep_ms(uint32_t milliseconds) override {
    events.push_back("sleep " + std::to_string(milliseconds));
    slept_ms += milliseconds;
  }
  void set_priority_class(PriorityClass priority_class) override {
    events.push_back(priority_class == PriorityClass::high ? "priority high" : "priority normal");
  }
  std::vector<std::string> events;
  uint64_t slept_ms = 0;
};

}  // namespace fp::test
