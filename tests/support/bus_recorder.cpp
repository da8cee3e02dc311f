#include "tests/support/bus_recorder.h"

#include <cstdio>
#include <numeric>
#include <optional>
#include <stdexcept>

namespace fp::test {
namespace {

std::string hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

// A wait or a priority change as text; nothing for a port access.
std::optional<std::string> service_line(const Access& access) {
  if (access.kind == Access::Kind::sleep) return "sleep " + std::to_string(access.sleep_ms);
  if (access.kind == Access::Kind::priority)
    return access.value != 0 ? "priority high" : "priority normal";
  return std::nullopt;
}

std::string port_line(const Access& access) {
  if (access.kind == Access::Kind::out)
    return "out " + hex(access.port, 3) + " " + hex(access.value, 2);
  if (access.kind == Access::Kind::in) return "in " + hex(access.port, 3);
  return *service_line(access);
}

bool is_out(const Access& access, uint16_t port) {
  return access.kind == Access::Kind::out && access.port == port;
}
bool is_in(const Access& access, uint16_t port) {
  return access.kind == Access::Kind::in && access.port == port;
}

}  // namespace

void BusRecorder::record(const Access& access) {
  if (keep_ == Keep::accesses) {
    accesses_.push_back(access);
    return;
  }
  const BusStep step = live_decoder_.take(access);
  if (step.kind == BusStep::Kind::write) live_cycles_.push_back(step.write);
}

const std::vector<Access>& BusRecorder::accesses() const {
  if (keep_ != Keep::accesses) throw std::logic_error("this recorder keeps only write cycles");
  return accesses_;
}

void BusRecorder::clear() {
  accesses_.clear();
  live_cycles_.clear();
}

void BusRecorder::out(uint16_t port, uint8_t value) {
  record({Access::Kind::out, value, port, 0});
  if (board_ != nullptr) board_->out(port, value);
}

uint8_t BusRecorder::in(uint16_t port) {
  uint8_t value = status;
  if (board_ != nullptr) {
    value = board_->in(port);
  } else if (!status_queue.empty()) {
    value = status_queue.front();
    status_queue.pop_front();
  }
  record({Access::Kind::in, value, port, 0});
  return value;
}

void BusRecorder::sleep_ms(uint32_t milliseconds) {
  record({Access::Kind::sleep, 0, 0, milliseconds});
  if (clock_ != nullptr) clock_->sleep_ms(milliseconds);
}

void BusRecorder::set_priority_class(PriorityClass priority_class) {
  const bool high = priority_class == PriorityClass::high;
  record({Access::Kind::priority, static_cast<uint8_t>(high ? 1 : 0), 0, 0});
  priority_class_ = priority_class;
}

void BusRecorder::queue_bytes(std::initializer_list<uint8_t> bytes) {
  for (const uint8_t byte : bytes) {
    status_queue.push_back(static_cast<uint8_t>((byte << 4) | 0x07));
    status_queue.push_back(static_cast<uint8_t>((byte & 0xF0) | 0x07));
  }
}

std::vector<std::string> BusRecorder::port_lines() const {
  std::vector<std::string> lines;
  lines.reserve(accesses().size());
  for (const Access& access : accesses()) lines.push_back(port_line(access));
  return lines;
}

std::vector<LatchLoad> BusRecorder::latch_loads() const {
  std::vector<LatchLoad> loads;
  Latches latches;
  for (const Access& access : accesses()) {
    if (const auto select = latches.take(access)) loads.push_back({*select, latches.get(*select)});
  }
  return loads;
}

std::vector<std::string> BusRecorder::load_lines(const LatchNames& names) const {
  std::vector<std::string> lines;
  for (const LatchLoad& load : latch_loads()) {
    lines.push_back(std::string(names[load.select / 2]) + " " + hex(load.value, 2));
  }
  return lines;
}

std::vector<uint8_t> BusRecorder::latch_values(uint8_t select) const {
  std::vector<uint8_t> values;
  for (const LatchLoad& load : latch_loads()) {
    if (load.select == select) values.push_back(load.value);
  }
  return values;
}

std::vector<std::string> BusRecorder::latch_events(const LatchNames& names) const {
  std::vector<std::string> events;
  const std::vector<Access>& all = accesses();
  const size_t count = all.size();
  for (size_t i = 0; i < count;) {
    const auto at = [&](size_t k) -> const Access& { return all[i + k]; };
    const bool four_left = i + 4 <= count;
    if (four_left && is_out(at(0), DATA_PORT) && is_out(at(1), CONTROL_PORT) &&
        (at(1).value & 1) == 0 && is_out(at(2), CONTROL_PORT) && at(2).value == (at(1).value | 1) &&
        is_out(at(3), CONTROL_PORT) && at(3).value == at(1).value) {
      events.push_back(std::string(names[(at(1).value >> 1) & 3]) + " " + hex(at(0).value, 2));
      i += 4;
    } else if (four_left && is_out(at(0), CONTROL_PORT) && at(0).value == 0x00 &&
               is_in(at(1), STATUS_PORT) && is_out(at(2), CONTROL_PORT) && at(2).value == 0x02 &&
               is_in(at(3), STATUS_PORT)) {
      events.emplace_back("read");
      i += 4;
    } else {
      const auto service = service_line(at(0));
      events.push_back(service ? *service : "stray " + port_line(at(0)));
      ++i;
    }
  }
  return events;
}

std::vector<std::string> BusRecorder::bus_story() const {
  std::vector<std::string> story;
  BusDecoder walker;
  for (const Access& access : accesses()) {
    const BusStep step = walker.take(access);
    switch (step.kind) {
      case BusStep::Kind::write:
        story.push_back(write_line(step.write.address, step.write.data));
        break;
      case BusStep::Kind::read:
        story.push_back(read_line(step.read_address));
        break;
      case BusStep::Kind::status:
        story.emplace_back("status read");
        break;
      case BusStep::Kind::service:
        story.push_back(*service_line(access));
        break;
      case BusStep::Kind::none:
        break;
    }
  }
  return story;
}

std::vector<WriteCycle> BusRecorder::write_cycles() const {
  if (keep_ == Keep::write_cycles) return live_cycles_;
  std::vector<WriteCycle> cycles;
  BusDecoder walker;
  for (const Access& access : accesses()) {
    const BusStep step = walker.take(access);
    if (step.kind == BusStep::Kind::write) cycles.push_back(step.write);
  }
  return cycles;
}

std::vector<uint32_t> BusRecorder::addresses_of(uint8_t data) const {
  std::vector<uint32_t> found;
  for (const WriteCycle& cycle : write_cycles()) {
    if (cycle.data == data) found.push_back(cycle.address);
  }
  return found;
}

std::vector<uint32_t> BusRecorder::waits() const {
  std::vector<uint32_t> found;
  for (const Access& access : accesses()) {
    if (access.kind == Access::Kind::sleep) found.push_back(access.sleep_ms);
  }
  return found;
}

uint64_t BusRecorder::slept_ms() const {
  const std::vector<uint32_t> all = waits();
  return std::accumulate(all.begin(), all.end(), uint64_t{0});
}

std::string write_line(uint32_t address, uint8_t data) {
  return "write " + hex(address, 5) + " " + hex(data, 2);
}

std::string read_line(uint32_t address) {
  return "read " + hex(address, 5);
}

std::vector<std::string> starting_with(const std::vector<std::string>& lines,
                                       const std::string& prefix) {
  std::vector<std::string> matching;
  for (const std::string& line : lines) {
    if (line.rfind(prefix, 0) == 0) matching.push_back(line);
  }
  return matching;
}

}  // namespace fp::test
