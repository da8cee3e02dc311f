#include "frontends/cli/chip_choice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "app/catalogue.h"
#include "chips/attiny/attiny_handlers.h"
#include "chips/jedec/jedec_handlers.h"
#include "frontends/cli/chip_identity.h"
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

struct RowNote {
  std::u16string_view row;
  const char* english;
  const char* russian;
};

// The page-write rows: their param is the page length, put in for "%u".
constexpr const char* PAGE_WRITE_NOTE_EN = "page write (%u bytes), no erase needed";
constexpr const char* PAGE_WRITE_NOTE_RU = "страничная запись (%u байт), стирание не нужно";

// What a write does on the row beyond programming the image.
constexpr std::array<RowNote, 12> ROW_NOTES{{
    {u"i28F001BX-T", "write erases only the blocks it must (--blocks for erase and blank)",
     "запись стирает только нужные блоки (--blocks для стирания и проверки)"},
    {u"i28F001BX-B", "write erases only the blocks it must (--blocks for erase and blank)",
     "запись стирает только нужные блоки (--blocks для стирания и проверки)"},
    {u"AT29C010A", PAGE_WRITE_NOTE_EN, PAGE_WRITE_NOTE_RU},
    {u"AT29C040A", PAGE_WRITE_NOTE_EN, PAGE_WRITE_NOTE_RU},
    {u"AT49F512", "write erases the whole chip when a bit must rise, then puts the rest back",
     "запись стирает всю микросхему, если бит должен стать 1, и восстанавливает остальное"},
    {u"AT49F002", "write erases only the sectors it must (--block for erase)",
     "запись стирает только нужные секторы (--block для стирания)"},
    {u"ATTINY2313 - FLASH", "a chip erase also clears the EEPROM (unless EESAVE) and the lock bits",
     "стирание очищает и EEPROM (если EESAVE не запрограммирован), и лок-биты"},
    {u"ATTINY2313 - EEPROM", "bytes are rewritten in place; erased only with the flash",
     "байты перезаписываются на месте; стирается только вместе с FLASH"},
    {u"AT89C2051/2052", "write erases the whole chip when a bit must rise, then puts the rest back",
     "запись стирает всю микросхему, если бит должен стать 1, и восстанавливает остальное"},
    {u"AT89C4051/4052", "write erases the whole chip when a bit must rise, then puts the rest back",
     "запись стирает всю микросхему, если бит должен стать 1, и восстанавливает остальное"},
    {u"AM28F001", "write erases the whole chip when a bit must rise, then puts the rest back",
     "запись стирает всю микросхему, если бит должен стать 1, и восстанавливает остальное"},
    {u"W29EE512", PAGE_WRITE_NOTE_EN, PAGE_WRITE_NOTE_RU},
}};

std::string row_note(const ChipDescriptor& row, bool english) {
  for (const RowNote& note : ROW_NOTES) {
    if (note.row != row.name) continue;
    std::string text = english ? note.english : note.russian;
    if (const size_t at = text.find("%u"); at != std::string::npos) {
      text.replace(at, 2, std::to_string(row.param));
    }
    return text;
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
  const ChipSlots& slots = row.slots;
  RowOperations operations;
  operations.erase = slots.on_erase != nullptr && slots.on_erase != attiny_eeprom_erase;
  operations.blank = slots.on_blank_check != nullptr;
  // The page-write rows (param: page length) take the protection commands.
  operations.sdp = slots.on_identify == jedec_identify && row.param != 0;
  operations.fuses = slots.on_identify == attiny_identify;
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
