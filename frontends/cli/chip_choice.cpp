#include "frontends/cli/chip_choice.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "app/catalogue.h"
#include "app/chip_identity.h"
#include "app/socket_probe.h"
#include "frontends/cli/json_text.h"
#include "platform/utf8.h"

namespace fp::cli {
namespace {

std::string simplified(std::string_view name) {
  std::string result;
  for (const char c : name) {
    if (c == ' ') continue;
    result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return result;
}

std::string row_name(const ChipDescriptor& row) {
  return to_utf8(row.name);
}

// The text and blanks up to width characters (UTF-8: a character is a code point).
std::string padded(std::string_view text, size_t width) {
  size_t characters = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  }
  return std::string(text) + std::string(width > characters ? width - characters : 1, ' ');
}

// What a write does on the row beyond programming the image, by the row's facts.
std::string row_note(const ChipDescriptor& row, bool english) {
  const ChipFacts& facts = row.facts;
  if (facts.driver == ChipDriver::attiny_flash) {
    return english ? "a chip erase also clears the EEPROM (unless EESAVE) and the lock bits"
                   : "стирание очищает и EEPROM (если EESAVE не запрограммирован), и лок-биты";
  }
  if (facts.driver == ChipDriver::attiny_eeprom) {
    return english ? "bytes are rewritten in place; erased only with the flash"
                   : "байты перезаписываются на месте; стирается только вместе с FLASH";
  }
  if (facts.rewrites_in_place) {
    const std::string page = std::to_string(facts.write_unit);
    // The command line loads each page behind the protected load.
    const bool left_protected = facts.driver == ChipDriver::page_write;
    std::string note = english ? "page write (" + page + " bytes), no erase needed"
                               : "страничная запись (" + page + " байт), стирание не нужно";
    if (left_protected) {
      note += english ? "; write leaves data protection on (sdp off)"
                      : "; после записи защита включена (sdp off)";
    }
    return note;
  }
  switch (facts.erase) {
    case EraseLayout::blocks:
      return english ? "write erases only the blocks it must (--blocks for erase and blank)"
                     : "запись стирает только нужные блоки (--blocks для стирания и проверки)";
    case EraseLayout::sectors:
      return english ? "write erases only the sectors it must (--block for erase)"
                     : "запись стирает только нужные секторы (--block для стирания)";
    case EraseLayout::whole_chip:
      return english ? "write erases the whole chip when a bit must rise, then puts the rest back"
                     : "запись стирает всю микросхему, если бит должен стать 1, и восстанавливает "
                       "остальное";
    case EraseLayout::none:
      break;
  }
  return {};
}

// The row's name and the names it is also sold under; a row whose name ends
// in " - MEMORY" lends that ending to its aliases too.
std::vector<std::string> names_of(const ChipDescriptor& row) {
  std::vector<std::string> names{row_name(row)};
  const size_t tail_at = names.front().find(" - ");
  const std::string tail = tail_at == std::string::npos ? "" : names.front().substr(tail_at);
  std::string_view aliases = row.facts.aliases;
  while (!aliases.empty()) {
    const size_t comma = aliases.find(", ");
    const std::string alias(aliases.substr(0, comma));
    names.push_back(alias);
    if (!tail.empty()) names.push_back(alias + tail);
    aliases = comma == std::string_view::npos ? "" : aliases.substr(comma + 2);
  }
  return names;
}

const char* family_label(ChipDriver driver) {
  switch (driver) {
    case ChipDriver::page_write:
      return "JEDEC-page";
    case ChipDriver::byte_program:
      return "JEDEC-byte";
    case ChipDriver::i28f_blocks:
      return "12V-blocks";
    case ChipDriver::am28f_pulses:
      return "12V-pulses";
    case ChipDriver::at89c_serial:
      return "AT89C";
    case ChipDriver::attiny_flash:
    case ChipDriver::attiny_eeprom:
      return "ATtiny";
    case ChipDriver::none:
      break;
  }
  return "?";
}

// What pin 1 of the row's socket is and the most it takes.
std::string pin1_text(const ChipFacts& facts) {
  const char* role = "NC";
  switch (facts.pin1) {
    case Pin1Role::nc:
      break;
    case Pin1Role::vpp:
      role = "Vpp";
      break;
    case Pin1Role::a18:
      role = "A18";
      break;
    case Pin1Role::reset:
      role = "RESET";
      break;
    case Pin1Role::rst_vpp:
      role = "RST/VPP";
      break;
  }
  return std::string(role) + (facts.takes_vpp() ? " 12V" : " 5V");
}

std::string volts_text(uint16_t millivolts, bool english) {
  char text[16];
  std::snprintf(text, sizeof text, "%u%c%02u", millivolts / 1000u, english ? '.' : ',',
                (millivolts % 1000u) / 10u);
  return text;
}

// Single-character insertions, deletions and substitutions from a to b.
size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The names (rows' and aliases) nearest a name that matched none, when any
// is near enough to be a slip of the keyboard: at most one edit in four
// characters, and at least one.
std::vector<std::string> near_names(std::string_view wanted) {
  const std::string key = simplified(wanted);
  const size_t allowed = std::max<size_t>(1, key.size() / 4);
  size_t best = allowed + 1;
  std::vector<std::string> found;
  for (const ChipDescriptor& row : catalogue_rows()) {
    std::vector<std::string> names = names_of(row);
    // "AT89C2051/2052" is also typed as its first name alone.
    if (const size_t slash = names.front().find('/'); slash != std::string::npos) {
      names.push_back(names.front().substr(0, slash));
    }
    for (const std::string& name : names) {
      const size_t distance = edit_distance(key, simplified(name));
      if (distance > allowed || distance > best) continue;
      if (distance < best) found.clear();
      best = distance;
      if (std::find(found.begin(), found.end(), name) == found.end()) found.push_back(name);
    }
  }
  return found;
}

}  // namespace

std::variant<const ChipDescriptor*, std::string> find_row(std::string_view wanted, bool english) {
  const auto rows = catalogue_rows();
  size_t number = 0;
  const auto [end, error] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), number);
  if (error == std::errc() && end == wanted.data() + wanted.size() && !wanted.empty()) {
    if (number < rows.size()) return &rows[number];
    const std::string last = std::to_string(rows.size() - 1);
    return english ? "no catalogue row " + std::string(wanted) + " (rows 0-" + last + ")"
                   : "нет строки каталога " + std::string(wanted) + " (строки 0-" + last + ")";
  }
  for (const ChipDescriptor& row : rows) {
    if (row_name(row) == wanted) return &row;
  }
  const std::string key = simplified(wanted);
  // A whole name (the row's or an alias) wins over beginnings of names.
  std::vector<const ChipDescriptor*> whole;
  std::vector<const ChipDescriptor*> matches;
  for (const ChipDescriptor& row : rows) {
    bool begins = false;
    for (const std::string& name : names_of(row)) {
      if (simplified(name) == key) {
        if (whole.empty() || whole.back() != &row) whole.push_back(&row);
      }
      if (!key.empty() && simplified(name).starts_with(key)) begins = true;
    }
    if (begins) matches.push_back(&row);
  }
  if (whole.size() == 1) return whole.front();
  if (!whole.empty()) matches = whole;
  if (matches.size() == 1) return matches.front();
  if (matches.empty()) {
    const std::vector<std::string> near = near_names(wanted);
    std::string suggestion;
    for (const std::string& name : near) {
      if (english) {
        suggestion += (suggestion.empty() ? "; did you mean " : " or ") + name;
      } else {
        suggestion += (suggestion.empty() ? "; может быть, " : " или ") + name;
      }
    }
    if (!near.empty()) suggestion += "?";
    return (english ? "no chip " : "нет микросхемы ") + std::string(wanted) + suggestion +
           (english ? " (see: programmer list)" : " (см. programmer list)");
  }
  std::string names;
  for (const ChipDescriptor* row : matches) names += (names.empty() ? "" : ", ") + row_name(*row);
  return english ? "chip " + std::string(wanted) + " is ambiguous: " + names
                 : "имя " + std::string(wanted) + " неоднозначно: " + names;
}

RowOperations row_operations(const ChipDescriptor& row) {
  RowOperations operations;
  operations.erase = row.facts.erase != EraseLayout::none && row.slots.on_erase != nullptr;
  operations.blank = row.slots.on_blank_check != nullptr;
  operations.sdp = row.facts.protection != DataProtection::none;
  operations.fuses = row.facts.fuses;
  return operations;
}

void print_catalogue_json(std::ostream& out) {
  const auto rows = catalogue_rows();
  out << "{\"format\": 1, \"rows\": [";
  for (size_t i = 0; i < rows.size(); ++i) {
    const ChipDescriptor& row = rows[i];
    const RowOperations can = row_operations(row);
    std::vector<std::string> operations{"id", "read", "write", "verify"};
    if (can.blank) operations.emplace_back("blank");
    if (can.erase) operations.emplace_back("erase");
    if (can.sdp) operations.emplace_back("sdp");
    if (can.fuses) operations.insert(operations.end(), {"fuses", "lock"});
    std::vector<std::string> id;
    for (const uint8_t code : expected_identity(row)) {
      char text[4];
      std::snprintf(text, sizeof text, "%02X", code);
      id.emplace_back(text);
    }
    std::vector<std::string> names = names_of(row);
    names.erase(names.begin());
    out << (i == 0 ? "\n" : ",\n") << "  {\"row\": " << i
        << ", \"name\": " << json_string(row_name(row)) << ", \"aliases\": " << json_strings(names)
        << ", \"family\": " << json_string(family_label(row.facts.driver))
        << ", \"size\": " << row.size << ", \"id\": " << json_strings(id)
        << ", \"id_needs_12v\": " << (identifies_with_high_voltage(row) ? "true" : "false")
        << ", \"pin1\": " << json_string(pin1_text(row.facts))
        << ", \"never_12v\": " << (row.facts.takes_vpp() ? "false" : "true")
        << ", \"operations\": " << json_strings(operations)
        << ", \"unconfirmed\": " << json_string(row.facts.unconfirmed) << "}";
  }
  out << "\n]}\n";
}

void print_catalogue(std::ostream& out, bool english) {
  const auto rows = catalogue_rows();
  out << " #  " << padded(english ? "chip" : "микросхема", 20)
      << padded(english ? "family" : "семейство", 11) << (english ? "    size" : "  размер") << "  "
      << padded("ID", 9) << "  " << padded(english ? "pin 1" : "вывод 1", 12)
      << (english ? "operations" : "операции") << '\n';
  for (size_t i = 0; i < rows.size(); ++i) {
    const ChipDescriptor& row = rows[i];
    const RowOperations can = row_operations(row);
    std::string operations = "id read write verify";
    if (can.blank) operations += " blank";
    if (can.erase) operations += " erase";
    if (can.sdp) operations += " sdp";
    if (can.fuses) operations += " fuses lock";
    char size[16];
    std::snprintf(size, sizeof size, "%7Xh", row.size);
    out << (i < 10 ? " " : "") << i << "  " << padded(row_name(row), 20)
        << padded(family_label(row.facts.driver), 11) << size << "  "
        << padded(codes_text(expected_identity(row)), 9) << "  " << padded(pin1_text(row.facts), 12)
        << operations << '\n';
    if (*row.facts.aliases != '\0') {
      out << "    " << (english ? "also sold as: " : "также: ") << row.facts.aliases << '\n';
    }
    const std::string note = row_note(row, english);
    if (!note.empty()) out << "    " << note << '\n';
    if (!row.facts.takes_vpp()) {
      const std::string most = volts_text(row.facts.pin1_max_mv, english);
      out << "    "
          << (english ? "never 12 V: pin 1 takes at most " + most + " V"
                      : "никогда не 12 В: вывод 1 выдерживает не более " + most + " В")
          << '\n';
    }
    if (*row.facts.unconfirmed != '\0') {
      out << "    " << (english ? "not confirmed on a chip: " : "не проверено на микросхеме: ")
          << row.facts.unconfirmed << '\n';
    }
  }
}

}  // namespace fp::cli
