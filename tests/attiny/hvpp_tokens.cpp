#include "tests/attiny/hvpp_tokens.h"

#include <algorithm>
#include <span>

namespace fp::test {

const std::vector<std::string> HVPP_ENTRY_EVENTS{
    "ctrl 80",  "lines 10", "lines 30", "lines 10", "lines 30", "lines 10", "lines 30",
    "lines 10", "sleep 1",  "ctrl 88",  "ctrl C8",  "sleep 1",  "lines 18"};

namespace {

using EventRun = std::span<const std::string>;

bool starts_with(EventRun events, const std::vector<std::string>& sequence) {
  return events.size() >= sequence.size() &&
         std::equal(sequence.begin(), sequence.end(), events.begin());
}

std::string value_of(const std::string& event) {
  return event.substr(event.size() - 2);
}

// A load: "data XX" then the given patterns; the token carries XX.
bool match_load(EventRun events, const std::vector<std::string>& after, const char* name,
                std::vector<std::string>& tokens, size_t& used) {
  if (events.empty() || events[0].rfind("data ", 0) != 0) return false;
  if (!starts_with(events.subspan(1), after)) return false;
  tokens.push_back(std::string(name) + " " + value_of(events[0]));
  used = after.size() + 1;
  return true;
}

bool match_plain(EventRun events, const std::vector<std::string>& sequence, std::string token,
                 std::vector<std::string>& tokens, size_t& used) {
  if (!starts_with(events, sequence)) return false;
  tokens.push_back(std::move(token));
  used = sequence.size();
  return true;
}

bool match_read(EventRun events, std::vector<std::string>& tokens, size_t& used) {
  if (events.size() < 5 || events[0] != "ctrl C8" || events[2] != "read" ||
      events[3] != "lines 18" || events[4] != "ctrl 48" || events[1].rfind("lines 0", 0) != 0) {
    return false;
  }
  const int pattern = std::stoi(value_of(events[1]), nullptr, 16);
  char token[16];
  std::snprintf(token, sizeof token, "read %02X", pattern & ~0x08);
  tokens.emplace_back(token);
  used = 5;
  return true;
}

// hvpp_program_byte after its data load: select|18, select|10, select|18, wait, 18.
bool match_program_byte(EventRun events, std::vector<std::string>& tokens, size_t& used) {
  if (events.size() < 5 || events[0].rfind("lines 1", 0) != 0) return false;
  const int high = std::stoi(value_of(events[0]), nullptr, 16);
  const int select = high & 0x05;
  if ((high & ~0x05) != 0x18) return false;
  char low[16];
  std::snprintf(low, sizeof low, "lines %02X", select | 0x10);
  if (events[1] != low || events[2] != events[0] || events[3] != "sleep 10" ||
      events[4] != "lines 18") {
    return false;
  }
  char token[16];
  std::snprintf(token, sizeof token, "byte %02X", select);
  tokens.emplace_back(token);
  used = 5;
  return true;
}

}  // namespace

std::vector<std::string> hvpp_tokens(const std::vector<std::string>& all) {
  std::vector<std::string> tokens;
  EventRun events(all);
  while (!events.empty()) {
    size_t used = 0;
    const bool matched =
        match_plain(events, HVPP_ENTRY_EVENTS, "enter", tokens, used) ||
        match_load(events, {"ctrl 48", "lines 19", "lines 39", "lines 19", "lines 18"}, "cmd",
                   tokens, used) ||
        match_load(events, {"lines 1E", "lines 3E", "lines 1E", "lines 1E", "lines 1E", "lines 18"},
                   "dhi", tokens, used) ||
        match_load(events, {"lines 1C", "lines 3C", "lines 1C", "lines 18"}, "hi", tokens, used) ||
        match_load(events, {"lines 18", "lines 38", "lines 18"}, "lo", tokens, used) ||
        match_load(events, {"lines 1A", "lines 3A", "lines 1A"}, "dlo", tokens, used) ||
        match_plain(events, {"lines 1A", "lines 1E", "lines 1A", "lines 18"}, "pagel", tokens,
                    used) ||
        match_plain(events, {"lines 10", "lines 18"}, "wr", tokens, used) ||
        match_read(events, tokens, used) || match_program_byte(events, tokens, used) ||
        match_plain(events, {"lines 18"}, "idle", tokens, used);
    if (!matched) {
      tokens.push_back(events[0]);  // a sleep, or something no primitive sends
      used = 1;
    }
    events = events.subspan(used);
  }
  return tokens;
}

size_t count_tokens(const std::vector<std::string>& tokens, const std::string& token) {
  return static_cast<size_t>(std::count(tokens.begin(), tokens.end(), token));
}

}  // namespace fp::test
