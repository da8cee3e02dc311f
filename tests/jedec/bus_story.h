// Turns recorded port traffic into the bus events a chip sees: write cycles
// (taken when the write strobe ends), read cycles, and the sleeps and priority
// changes in their place between them.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "chips/common/programmer_context.h"
#include "chips/jedec/jedec_commands.h"
#include "tests/support/fake_main_view.h"
#include "tests/support/recording_port.h"

namespace fp::test {

// Writes "sleep N" and "priority high|normal" into the port's event list.
class Timeline final : public Clock, public Priority {
 public:
  explicit Timeline(RecordingPort& port) : port_(port) {}
  void sleep_ms(uint32_t milliseconds) override {
    port_.events.push_back("sleep " + std::to_string(milliseconds));
  }
  void set_priority_class(PriorityClass priority_class) override {
    port_.events.emplace_back(priority_class == PriorityClass::high ? "priority high"
                                                                    : "priority normal");
  }

 private:
  RecordingPort& port_;
};

// A programmer on a recording port whose sleeps and priority changes land in
// the same event list.
struct TraceRig {
  explicit TraceRig(std::u16string_view row);
  RecordingPort port;
  Timeline timeline{port};
  FakeMainView view;
  std::unique_ptr<ProgrammerContext> context;
  ProgrammerBus& bus() { return context->bus; }
  // The story of everything recorded since the last call.
  std::vector<std::string> take_story();
};

// "write 05555 AA", "read 00000", "status read", "sleep 50", "priority high".
std::vector<std::string> bus_story(const std::vector<std::string>& events);

std::vector<std::string> writes(std::span<const BusCycle> sequence);
std::string write_line(uint32_t address, uint8_t data);
std::string read_line(uint32_t address);

template <typename... Parts>
std::vector<std::string> joined(const Parts&... parts) {
  std::vector<std::string> all;
  (all.insert(all.end(), parts.begin(), parts.end()), ...);
  return all;
}

}  // namespace fp::test
