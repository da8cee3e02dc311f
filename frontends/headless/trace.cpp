#include "frontends/headless/trace.h"

#include <array>
#include <cstdio>

namespace fp::headless {
namespace {

void write_port_line(std::ostream& sink, const char* verb, uint16_t port, uint8_t value) {
  std::array<char, 24> line{};
  const int length = std::snprintf(line.data(), line.size(), "%s %03X %02X\n", verb, port, value);
  sink.write(line.data(), length);
}

}  // namespace

void Trace::out(uint16_t port, uint8_t value) {
  if (sink_ != nullptr) write_port_line(*sink_, "out", port, value);
  port_.out(port, value);
}

uint8_t Trace::in(uint16_t port) {
  const uint8_t value = port_.in(port);
  if (sink_ != nullptr) write_port_line(*sink_, "in", port, value);
  return value;
}

void Trace::sleep_ms(uint32_t milliseconds) {
  if (sink_ != nullptr) *sink_ << "sleep " << milliseconds << '\n';
  clock_.sleep_ms(milliseconds);
}

void Trace::set_priority_class(PriorityClass priority_class) {
  if (sink_ != nullptr) {
    *sink_ << (priority_class == PriorityClass::high ? "priority high\n" : "priority normal\n");
  }
  priority_.set_priority_class(priority_class);
}

}  // namespace fp::headless
