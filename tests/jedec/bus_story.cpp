#include "tests/jedec/bus_story.h"

#include <cstdio>

namespace fp::test {

TraceRig::TraceRig(std::u16string_view row)
    : context(std::make_unique<ProgrammerContext>(port, timeline, timeline, view,
                                                  catalogue_row(row))) {}

std::vector<std::string> TraceRig::take_story() {
  std::vector<std::string> story = bus_story(port.events);
  port.events.clear();
  return story;
}

std::string write_line(uint32_t address, uint8_t data) {
  char line[32];
  std::snprintf(line, sizeof line, "write %05X %02X", address, data);
  return line;
}

std::string read_line(uint32_t address) {
  char line[32];
  std::snprintf(line, sizeof line, "read %05X", address);
  return line;
}

std::vector<std::string> writes(std::span<const BusCycle> sequence) {
  std::vector<std::string> lines;
  for (const BusCycle& cycle : sequence) lines.push_back(write_line(cycle.address, cycle.data));
  return lines;
}

std::vector<std::string> bus_story(const std::vector<std::string>& events) {
  std::vector<std::string> story;
  unsigned data_register = 0;
  unsigned latches[8] = {0xFF, 0, 0xC0, 0, 0, 0, 0, 0};
  const auto address = [&latches](unsigned control) {
    return latches[4] | (latches[6] << 8) | ((control & 7u) << 16);
  };
  for (const std::string& event : events) {
    unsigned port = 0;
    unsigned value = 0;
    if (std::sscanf(event.c_str(), "out %x %x", &port, &value) == 2) {
      if (port == DATA_PORT) data_register = value;
      if (port != CONTROL_PORT || (value & 1) == 0) continue;
      const unsigned select = value & 6;
      const unsigned before = latches[2];
      latches[select] = data_register;
      if (select != 2) continue;
      const bool was_strobe = (before & 0x30) == 0x30;
      if (was_strobe && (data_register & 0x30) != 0x30) {
        story.push_back(write_line(address(before), static_cast<uint8_t>(latches[0])));
      }
      if ((data_register & 0x70) == 0x10) story.push_back(read_line(address(data_register)));
    } else if (event.rfind("in ", 0) == 0) {
      if ((latches[2] & 0x70) != 0x10) story.emplace_back("status read");
    } else {
      story.push_back(event);
    }
  }
  return story;
}

}  // namespace fp::test
