#include "app/socket_probe.h"

#include <algorithm>
#include <bit>

#include "app/catalogue.h"
#include "app/chip_identity.h"
#include "chips/at89c/at89c_bus.h"
#include "chips/at89c/at89c_commands.h"
#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_commands.h"
#include "platform/utf8.h"

namespace fp {
namespace {

constexpr uint16_t FIVE_VOLTS_MV = 5000;

// The 32-pin rows read at 5 V through the JEDEC software ID: the JEDEC flash
// and the i28F001BX, which answers the same sequence before any command of its own.
bool answers_jedec_probe(const ChipFacts& facts) {
  return facts.socket == SocketKind::dip32 && facts.id_mv <= FIVE_VOLTS_MV &&
         (facts.id_method == IdMethod::jedec_software ||
          facts.id_method == IdMethod::intel_command);
}

bool answers_signature_probe(const ChipFacts& facts) {
  return facts.socket == SocketKind::dip20 && facts.id_mv <= FIVE_VOLTS_MV &&
         facts.id_method == IdMethod::at89c_signature;
}

using Asked = bool (*)(const ChipFacts&);

// How many codes the rows the probe asks for give (0: no row asks).
uint8_t code_count(Asked asked) {
  uint8_t count = 0;
  for (const ChipDescriptor& row : catalogue_rows()) {
    if (asked(row.facts)) count = std::max(count, row.facts.id.count);
  }
  return count;
}

// One 32-pin read cycle at address (A16-A18 low), 5 V.
uint8_t read_at(ProgrammerBus& bus, uint16_t address) {
  bus.latch_write(LATCH_ADDR_LO, static_cast<uint8_t>(address));
  bus.latch_write(LATCH_ADDR_MID, static_cast<uint8_t>(address >> 8));
  bus.latch_write(LATCH_CTRL, CTRL_READ);
  const uint8_t value = bus.read_nibbles();
  bus.latch_write(LATCH_CTRL, CTRL_IDLE);
  return value;
}

std::vector<uint8_t> read_array(ProgrammerBus& bus, uint8_t count) {
  std::vector<uint8_t> bytes;
  for (uint16_t address = 0; address < count; ++address) bytes.push_back(read_at(bus, address));
  return bytes;
}

// The AT89C's bytes from counter position 0 in the given mode, RST at 5 V.
std::vector<uint8_t> read_counter(ProgrammerBus& bus, uint8_t mode, uint8_t count) {
  at89c_reset_counter(bus);
  bus.latch_write(LATCH_ADDR_LO, mode);
  std::vector<uint8_t> bytes;
  for (uint8_t position = 0; position < count; ++position) {
    if (position > 0) at89c_clock_pulse(bus, mode);
    bytes.push_back(bus.read_nibbles());
  }
  return bytes;
}

bool all_equal(const std::vector<uint8_t>& bytes, uint8_t value) {
  return std::all_of(bytes.begin(), bytes.end(), [value](uint8_t byte) { return byte == value; });
}

bool silent(const std::vector<uint8_t>& bytes) {
  return all_equal(bytes, 0xFF) || all_equal(bytes, 0x00);
}

void match_rows(SocketAnswer& answer, Asked asked) {
  if (!answer.counts) return;
  for (const ChipDescriptor& row : catalogue_rows()) {
    const auto id = row.facts.id.span();
    if (asked(row.facts) && !id.empty() && id.size() <= answer.codes.size() &&
        std::equal(id.begin(), id.end(), answer.codes.begin())) {
      answer.rows.push_back(&row);
    }
  }
}

std::string row_names(const std::vector<const ChipDescriptor*>& rows) {
  std::string text;
  for (const ChipDescriptor* row : rows) {
    if (!text.empty()) text += ", ";
    text += to_utf8(row->name);
    if (*row->facts.aliases != '\0') text += std::string(" (") + row->facts.aliases + ")";
  }
  return text;
}

}  // namespace

bool SocketAnswer::holds_data() const {
  return !silent(array);
}

bool SocketProbe::answered() const {
  return (dip32 && dip32->counts) || (dip20 && dip20->counts);
}

const SocketAnswer* SocketProbe::answer_in(SocketKind socket) const {
  const auto& answer = socket == SocketKind::dip32 ? dip32 : dip20;
  return answer ? &*answer : nullptr;
}

std::vector<const ChipDescriptor*> SocketProbe::matches() const {
  std::vector<const ChipDescriptor*> rows;
  for (const auto* answer : {answer_in(SocketKind::dip32), answer_in(SocketKind::dip20)}) {
    if (answer != nullptr) rows.insert(rows.end(), answer->rows.begin(), answer->rows.end());
  }
  return rows;
}

SocketProbe probe_socket(ProgrammerContext& context) {
  ProgrammerBus& bus = context.bus;
  SocketProbe probe;
  // The programming voltage off before anything else.
  bus.latch_write(LATCH_CTRL, CTRL_IDLE);
  if (const uint8_t count = code_count(answers_jedec_probe); count != 0) {
    SocketAnswer answer;
    answer.array = read_array(bus, count);
    // Command cycles only: a page-write chip without data protection takes a
    // lone byte as a page load, and the 28F010 class ignores them all at 5 V.
    send_sequence(bus, SEQ_ID_ENTRY);
    context.clock.sleep_ms(ID_MODE_WAIT_MS);
    answer.codes = read_array(bus, count);
    send_sequence(bus, SEQ_ID_EXIT);
    context.clock.sleep_ms(ID_MODE_WAIT_MS);
    // JEDEC maker codes have odd parity: an even one is the chip's data or noise.
    answer.counts = answer.codes != answer.array && !silent(answer.codes) &&
                    std::popcount(answer.codes.front()) % 2 == 1;
    match_rows(answer, answers_jedec_probe);
    probe.dip32 = std::move(answer);
  }
  if (const uint8_t count = code_count(answers_signature_probe); count != 0) {
    SocketAnswer answer;
    answer.array = read_counter(bus, AT89C_MODE_READ, count);
    answer.codes = read_counter(bus, AT89C_MODE_SIGNATURE, count);
    answer.counts = answer.codes != answer.array && !silent(answer.codes);
    match_rows(answer, answers_signature_probe);
    probe.dip20 = std::move(answer);
  }
  return probe;
}

std::string answer_text(const SocketAnswer& answer, bool english) {
  if (!answer.counts) return "";
  const std::string codes = (english ? "answers " : "отвечает ") + codes_text(answer.codes);
  if (answer.rows.empty()) return codes + (english ? " (no row of the list)" : " (нет в списке)");
  return codes + ": " + row_names(answer.rows);
}

namespace {

std::string socket_name(bool dip32, bool english) {
  if (english) return dip32 ? "the 32-pin socket " : "the 20-pin socket ";
  return dip32 ? "32-выводная панель " : "20-выводная панель ";
}

}  // namespace

std::string probe_text(const SocketProbe& probe, bool english) {
  std::string text;
  for (const auto* answer :
       {probe.answer_in(SocketKind::dip32), probe.answer_in(SocketKind::dip20)}) {
    if (answer == nullptr || !answer->counts) continue;
    if (!text.empty()) text += "; ";
    text += socket_name(answer == probe.answer_in(SocketKind::dip32), english);
    text += answer_text(*answer, english);
  }
  if (!text.empty()) return text;
  const SocketAnswer* dip32 = probe.answer_in(SocketKind::dip32);
  if (dip32 != nullptr && dip32->holds_data()) {
    if (!english) {
      return "при 5 В ничего не отвечает: 32-выводная панель читается как " +
             codes_text(dip32->array) + ", но кода не выдаёт";
    }
    return "nothing answers at 5 V: the 32-pin socket reads " + codes_text(dip32->array) +
           " but gives no ID";
  }
  return english ? "nothing answers: an empty socket or bad contact"
                 : "ничего не отвечает: панель пуста или плохой контакт";
}

std::optional<std::string> high_voltage_harm(const SocketProbe& probe, bool english) {
  for (const auto* answer :
       {probe.answer_in(SocketKind::dip32), probe.answer_in(SocketKind::dip20)}) {
    if (answer == nullptr || !answer->counts) continue;
    const bool in_dip32 = answer == probe.answer_in(SocketKind::dip32);
    const bool unknown_flash = in_dip32 && answer->rows.empty();
    const bool five_volt_row =
        std::any_of(answer->rows.begin(), answer->rows.end(),
                    [](const ChipDescriptor* row) { return !row->facts.takes_vpp(); });
    if (unknown_flash || five_volt_row) {
      return socket_name(in_dip32, english) + answer_text(*answer, english) +
             (english ? ", a chip that must never have 12 V"
                      : ": на такую микросхему нельзя подавать 12 В");
    }
  }
  return std::nullopt;
}

bool identifies_with_high_voltage(const ChipDescriptor& row) {
  return row.facts.id_mv >= VPP_MV;
}

std::optional<std::string> high_voltage_id_refusal(const SocketProbe& probe,
                                                   const ChipDescriptor& row, bool english) {
  if (!identifies_with_high_voltage(row) || !probe.answered()) return std::nullopt;
  return probe_text(probe, english);
}

bool probe_confirms(const SocketProbe& probe, const ChipDescriptor& row) {
  const auto rows = probe.matches();
  return std::find(rows.begin(), rows.end(), &row) != rows.end();
}

}  // namespace fp
