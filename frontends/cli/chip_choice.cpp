#include "frontends/cli/chip_choice.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "app/catalogue.h"
#include "app/chip_identity.h"
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

}  // namespace

std::variant<const ChipDescriptor*, std::string> find_row(std::string_view wanted) {
  const auto rows = catalogue_rows();
  size_t number = 0;
  const auto [end, error] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), number);
  if (error == std::errc() && end == wanted.data() + wanted.size() && !wanted.empty()) {
    if (number < rows.size()) return &rows[number];
    return "no catalogue row " + std::string(wanted) + " (rows 0-" +
           std::to_string(rows.size() - 1) + ")";
  }
  for (const ChipDescriptor& row : rows) {
    if (row_name(row) == wanted) return &row;
  }
  const std::string key = simplified(wanted);
  std::vector<const ChipDescriptor*> matches;
  for (const ChipDescriptor& row : rows) {
    if (simplified(row_name(row)) == key) return &row;
    if (!key.empty() && simplified(row_name(row)).starts_with(key)) matches.push_back(&row);
  }
  if (matches.size() == 1) return matches.front();
  if (matches.empty()) return "no chip " + std::string(wanted) + " (see: programmer list)";
  std::string names;
  for (const ChipDescriptor* row : matches) names += (names.empty() ? "" : ", ") + row_name(*row);
  return "chip " + std::string(wanted) + " is ambiguous: " + names;
}

RowOperations row_operations(const ChipDescriptor& row) {
  RowOperations operations;
  operations.erase = row.facts.erase != EraseLayout::none && row.slots.on_erase != nullptr;
  operations.blank = row.slots.on_blank_check != nullptr;
  operations.sdp = row.facts.protection != DataProtection::none;
  operations.fuses = row.facts.fuses;
  return operations;
}

void print_catalogue(std::ostream& out, bool english) {
  const auto rows = catalogue_rows();
  out << " #  " << padded(english ? "chip" : "микросхема", 20)
      << (english ? "    size" : "  размер") << "  " << padded("ID", 9) << "  "
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
    out << (i < 10 ? " " : "") << i << "  " << padded(row_name(row), 20) << size << "  "
        << padded(codes_text(expected_identity(row)), 9) << "  " << operations << '\n';
    const std::string note = row_note(row, english);
    if (!note.empty()) out << "    " << note << '\n';
  }
}

}  // namespace fp::cli
