// Reads the latch events of a run (hvpp_events) back as the primitives that
// made it ("enter", "cmd 02", "lo 1F", "hi 03", "dlo A5", "dhi 5A", "pagel",
// "wr", "read 04", "byte 04", "idle", "sleep 10"), so that handler tests can
// state their order plainly. attiny_bus_test.cpp pins down the sequences themselves.
#pragma once

#include <string>
#include <vector>

namespace fp::test {

// The events of hvpp_enter: three XTAL1 pulses with the mode lines low, then
// the programming voltage.
extern const std::vector<std::string> HVPP_ENTRY_EVENTS;

std::vector<std::string> hvpp_tokens(const std::vector<std::string>& events);

// How many tokens equal token.
size_t count_tokens(const std::vector<std::string>& tokens, const std::string& token);

}  // namespace fp::test
