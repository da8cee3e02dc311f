#include "ui/cli/chip_choice.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "app/catalogue.h"
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

void print_catalogue(std::ostream& out) {
  const auto rows = catalogue_rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const ChipDescriptor& row = rows[i];
    const ChipSlots& slots = row.slots;
    std::string operations = "read verify";
    if (slots.on_identify != nullptr) operations = "id " + operations;
    if (slots.on_write != nullptr) operations += " write";
    if (slots.on_blank_check != nullptr) operations += " blank";
    if (slots.on_erase != nullptr) operations += " erase";
    const std::string name = row_name(row);
    char size[16];
    std::snprintf(size, sizeof size, "%Xh", row.size);
    // Names are ASCII: the columns line up by bytes.
    out << (i < 10 ? " " : "") << i << "  " << name
        << std::string(22 - std::min<size_t>(name.size(), 21), ' ')
        << std::string(8 - std::string(size).size(), ' ') << size << "  " << operations << '\n';
  }
}

}  // namespace fp::cli
