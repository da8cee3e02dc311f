// Which board a run talks to: never the simulated one unless asked for, and
// the faults of a simulated chip as --port spells them.
#include "frontends/cli/port_choice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

namespace fp::cli {
namespace {

std::optional<std::string> nothing_found() {
  return std::nullopt;
}
std::optional<std::string> first_ppdev() {
  return "ppdev:/dev/parport0";
}

TEST(PortDecision, GivenThenEnvironmentThenFoundThenNone) {
  EXPECT_EQ(decide_port("sim", "ppdev", first_ppdev, true).port, "sim");
  EXPECT_EQ(decide_port("sim", "ppdev", first_ppdev, true).note, "");
  const PortDecision from_environment = decide_port("", "sim:board.sim", first_ppdev, true);
  EXPECT_EQ(from_environment.port, "sim:board.sim");
  EXPECT_NE(from_environment.note.find("PROGRAMMER_PORT"), std::string::npos);
  const PortDecision found = decide_port("", "", first_ppdev, true);
  EXPECT_EQ(found.port, "ppdev:/dev/parport0");
  EXPECT_NE(found.note.find("ppdev:/dev/parport0"), std::string::npos);
  EXPECT_EQ(decide_port("", nullptr, first_ppdev, true).port, "ppdev:/dev/parport0");
  // Nothing found is no simulated board.
  EXPECT_EQ(decide_port("", nullptr, nothing_found, true).port, "");
  EXPECT_EQ(decide_port("", "", nothing_found, true).port, "");
}

sim::ChipFaults faults_of(const std::string& port) {
  const auto parsed = parse_port(port, true);
  EXPECT_TRUE(std::holds_alternative<PortChoice>(parsed)) << port;
  if (!std::holds_alternative<PortChoice>(parsed)) return {};
  return std::get<SimulatedPort>(std::get<PortChoice>(parsed)).faults;
}

TEST(SimulatedFaults, EveryKindReachesTheChipFaults) {
  const sim::ChipFaults all = faults_of(
      "sim:b,c.sim,fault=stuck:1C000:5a,socket=AT49F002,fault=never-ready:3,"
      "fault=pulses:program:7,fault=pulses:erase:9,fault=stuck:0x10:00");
  EXPECT_EQ(all.stuck.at(0x1C000), 0x5A);
  EXPECT_EQ(all.stuck.at(0x10), 0x00);
  EXPECT_EQ(all.never_ready_from, 3U);
  EXPECT_FALSE(all.never_ready);
  EXPECT_EQ(all.program_pulses, 7U);
  EXPECT_EQ(all.erase_pulses, 9U);
  EXPECT_TRUE(faults_of("sim,fault=never-ready").never_ready);
  const auto parsed = parse_port("sim:b,c.sim,fault=never-ready,socket=empty", true);
  const auto& choice = std::get<SimulatedPort>(std::get<PortChoice>(parsed));
  EXPECT_EQ(choice.store, "b,c.sim");
  EXPECT_EQ(choice.socket, "empty");
}

TEST(SimulatedFaults, NoFaultOnARealPortAndNoneThatIsNoFault) {
  // A real port takes no setting: the text is no port at all.
  EXPECT_TRUE(std::holds_alternative<std::string>(parse_port("ppdev,fault=never-ready", true)));
  for (const char* port :
       {"sim,fault=", "sim,fault=stuck", "sim,fault=stuck:80000:00", "sim,fault=stuck:10:100",
        "sim,fault=never-ready:0", "sim,fault=never-ready:x", "sim,fault=pulses:program:0",
        "sim,fault=pulses:verify:3", "sim,socket=", "sim,socket=a,socket=b"}) {
    EXPECT_TRUE(std::holds_alternative<std::string>(parse_port(port, true))) << port;
  }
}

// A Russian run gets every reason in Russian, with the value as given.
TEST(SimulatedFaults, ReasonsComeInTheRunsLanguage) {
  for (const char* port : {"sim,fault=stuck", "sim,fault=never-ready:0",
                           "sim,fault=pulses:program:0", "sim,fault=pulses:verify:3",
                           "sim,socket=", "sim,socket=a,socket=b", "sim:", "direct:xyz", "lpt1"}) {
    const auto english = parse_port(port, true);
    const auto russian = parse_port(port, false);
    ASSERT_TRUE(std::holds_alternative<std::string>(russian)) << port;
    const std::string& text = std::get<std::string>(russian);
    EXPECT_TRUE(text.starts_with("--port ")) << text;
    EXPECT_NE(text, std::get<std::string>(english)) << text;
    EXPECT_EQ(text.find(" the "), std::string::npos) << text;
  }
  EXPECT_EQ(std::get<std::string>(parse_port("sim,fault=pulses:verify:3", false)),
            "--port ...,fault=pulses:verify:3: нет такой неисправности; неисправности: "
            "stuck:ADDR:XX, never-ready, never-ready:N, pulses:program:N или pulses:erase:N");
  EXPECT_EQ(std::get<std::string>(parse_port("sim,fault=pulses:verify:3", true)),
            "--port ...,fault=pulses:verify:3: no such fault; the faults: "
            "stuck:ADDR:XX, never-ready, never-ready:N, pulses:program:N or pulses:erase:N");
  EXPECT_EQ(decide_port("", "sim:b.sim", first_ppdev, false).note,
            "порт sim:b.sim (из PROGRAMMER_PORT)");
}

}  // namespace
}  // namespace fp::cli
