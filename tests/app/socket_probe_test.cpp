// The socket probe against every catalogue row's chip: it names the chip
// from the facts, never changes a byte, never switches the programming
// voltage on and causes no protocol violation; an empty socket answers nothing.
#include "app/socket_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "app/catalogue.h"
#include "platform/utf8.h"
#include "sim/model_factory.h"
#include "tests/support/programmer_rigs.h"

namespace fp {
namespace {

std::vector<uint8_t> pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

// Each model once, holding a pattern; page-write chips also with protection on.
struct Stocked {
  std::string model;
  bool protected_pages;
};

std::vector<Stocked> stocked_models() {
  std::set<std::string> seen;
  std::vector<Stocked> models;
  for (const ChipDescriptor& row : catalogue_rows()) {
    if (!seen.insert(row.facts.model).second) continue;
    models.push_back({row.facts.model, false});
    if (row.facts.protection != DataProtection::none) models.push_back({row.facts.model, true});
  }
  return models;
}

sim::ChipModel& stock(test::SimulatedRig& rig, const Stocked& stocked) {
  sim::ChipModel& chip = rig.insert(stocked.model);
  std::vector<uint8_t>& main = *chip.memory("main");
  main = pattern(main.size());
  if (stocked.protected_pages) {
    EXPECT_TRUE(chip.restore_lasting_state({{"protection", {1}}}));
  }
  return chip;
}

TEST(SocketProbe, NamesEveryRowsChipHarmlessly) {
  for (const Stocked& stocked : stocked_models()) {
    SCOPED_TRACE(stocked.model + (stocked.protected_pages ? " protected" : ""));
    test::SimulatedRig rig;
    sim::ChipModel& chip = stock(rig, stocked);
    const std::vector<uint8_t> before = *chip.memory("main");
    const SocketProbe probe = probe_socket(*rig.context);
    EXPECT_EQ(*chip.memory("main"), before);
    EXPECT_EQ(rig.board.violations(), std::vector<std::string>{});
    EXPECT_EQ(rig.board.vpp_switch_ons(), 0u);
    for (const ChipDescriptor& row : catalogue_rows()) {
      if (row.facts.model != stocked.model) continue;
      // 5 V rows are named; a 12 V row's chip gives no answer at all.
      EXPECT_EQ(probe_confirms(probe, row), !identifies_with_high_voltage(row))
          << to_utf8(row.name);
      EXPECT_EQ(probe.answered(), !identifies_with_high_voltage(row));
      EXPECT_EQ(high_voltage_harm(probe).has_value(), probe.answered() && !row.facts.takes_vpp());
    }
  }
}

TEST(SocketProbe, EmptySocketAnswersNothing) {
  test::SimulatedRig rig;
  const SocketProbe probe = probe_socket(*rig.context);
  EXPECT_FALSE(probe.answered());
  EXPECT_TRUE(probe.matches().empty());
  EXPECT_EQ(probe_text(probe), "nothing answers: an empty socket or bad contact");
  EXPECT_FALSE(high_voltage_harm(probe));
  EXPECT_FALSE(high_voltage_id_refusal(probe, test::catalogue_row(u"AM28F001")));
  // Two reads, ID entry, two reads, ID exit, then the 20-pin socket; the waits dominate.
  EXPECT_LT(rig.board.now_us(), 21'000u);
}

TEST(SocketProbe, ChipBytesThatLookLikeAnIdAreNoAnswer) {
  // An AM28F001 ignores the ID commands at 5 V: its bytes read the same, even
  // when they are another row's codes.
  test::SimulatedRig rig;
  sim::ChipModel& chip = rig.insert("AM28F001");
  (*chip.memory("main"))[0] = 0x1F;
  (*chip.memory("main"))[1] = 0xD5;
  const SocketProbe probe = probe_socket(*rig.context);
  EXPECT_FALSE(probe.answered());
  EXPECT_EQ(probe_text(probe),
            "nothing answers at 5 V: the 32-pin socket reads 1F D5 but gives no ID");
  EXPECT_EQ(probe_text(probe, false),
            "при 5 В ничего не отвечает: 32-выводная панель читается как 1F D5, но кода не "
            "выдаёт");
  EXPECT_FALSE(high_voltage_id_refusal(probe, test::catalogue_row(u"AM28F001")));
}

TEST(SocketProbe, FiveVoltAnswersBlockTheHighVoltageSteps) {
  test::SimulatedRig rig;
  rig.insert("AT29C010A");
  const SocketProbe probe = probe_socket(*rig.context);
  EXPECT_EQ(probe_text(probe), "the 32-pin socket answers 1F D5: AT29C010A");
  ASSERT_TRUE(high_voltage_harm(probe));
  EXPECT_EQ(*high_voltage_harm(probe),
            "the 32-pin socket answers 1F D5: AT29C010A, a chip that must never have 12 V");
  EXPECT_TRUE(high_voltage_id_refusal(probe, test::catalogue_row(u"AM28F001")));
  EXPECT_TRUE(high_voltage_id_refusal(probe, test::catalogue_row(u"ATTINY2313 - FLASH")));
  // A Russian run names the same socket, codes and row.
  EXPECT_EQ(probe_text(probe, false), "32-выводная панель отвечает 1F D5: AT29C010A");
  EXPECT_EQ(*high_voltage_harm(probe, false),
            "32-выводная панель отвечает 1F D5: AT29C010A: на такую микросхему нельзя подавать "
            "12 В");
  EXPECT_EQ(*high_voltage_id_refusal(probe, test::catalogue_row(u"AM28F001"), false),
            probe_text(probe, false));
}

TEST(SocketProbe, TwelveVoltChipsAnswerWithoutHarmRule) {
  // An AT89C takes 12 V on RST/VPP: its answer stops the ATtiny's entry but is no harm rule.
  test::SimulatedRig rig;
  rig.insert("AT89C2051");
  const SocketProbe probe = probe_socket(*rig.context);
  EXPECT_EQ(probe_text(probe), "the 20-pin socket answers 1E 21 FF: AT89C2051/2052 (AT89C2052)");
  EXPECT_FALSE(high_voltage_harm(probe));
  EXPECT_TRUE(high_voltage_id_refusal(probe, test::catalogue_row(u"ATTINY2313 - FLASH")));
}

}  // namespace
}  // namespace fp
