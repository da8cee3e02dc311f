// Finding out which chip is in the sockets without harming any chip of the
// catalogue: 5 V only, the programming voltage off. The 32-pin socket gets
// the JEDEC software ID (command cycles every 5 V flash takes as commands,
// never a lone command byte); the 20-pin socket the AT89C signature read,
// which needs RST at 5 V only. An answer counts only when it differs from the
// array bytes read the same way before it. The 12 V identifications (the
// AM28F001 class, the ATtiny's high-voltage entry) are not part of it: they
// run later, for their own row, and only when the probe allows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chips/common/programmer_context.h"

namespace fp {

struct SocketAnswer {
  std::vector<uint8_t> array;  // the bytes read plainly first
  std::vector<uint8_t> codes;  // the bytes read in the identification mode
  bool counts = false;         // the codes are an answer
  // Rows (aliases included in their facts) whose codes these are.
  std::vector<const ChipDescriptor*> rows;

  // Something drives the data lines even without an answer.
  [[nodiscard]] bool holds_data() const;
};

struct SocketProbe {
  std::optional<SocketAnswer> dip32;  // nothing when no row asks for that socket
  std::optional<SocketAnswer> dip20;

  [[nodiscard]] bool answered() const;
  // Every row that answers, 32-pin socket first.
  [[nodiscard]] std::vector<const ChipDescriptor*> matches() const;
  [[nodiscard]] const SocketAnswer* answer_in(SocketKind socket) const;
};

// Reads the sockets at 5 V.
SocketProbe probe_socket(ProgrammerContext& context);

// The programming voltage would harm what answered: why, naming it.
// A known row whose pin 1 takes less than 12 V, or an answer to the 32-pin
// JEDEC ID that matches no row (only 5 V flash answers it).
// In English, or in Russian when english is false (as every text below).
std::optional<std::string> high_voltage_harm(const SocketProbe& probe, bool english = true);

// The 12 V identification of the row may run: the probe left it room. For
// the AM28F001 class nothing answered in the 32-pin socket; for the ATtiny
// neither socket answered. Otherwise what answered.
std::optional<std::string> high_voltage_id_refusal(const SocketProbe& probe,
                                                   const ChipDescriptor& row, bool english = true);

// "answers 1F D5: AT29C010A", "answers 1E 93 0C (no row)", or "nothing
// answers: an empty socket or bad contact" (or "... holds 12 34 but gives no
// ID at 5 V").
std::string probe_text(const SocketProbe& probe, bool english = true);
std::string answer_text(const SocketAnswer& answer, bool english = true);

// The row's 5 V ID is the one the probe found; false for 12 V rows.
bool probe_confirms(const SocketProbe& probe, const ChipDescriptor& row);

// The identification the row needs 12 V for.
bool identifies_with_high_voltage(const ChipDescriptor& row);

}  // namespace fp
