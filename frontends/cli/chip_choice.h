// The catalogue row named on the command line, and the catalogue as a list.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <variant>

#include "chips/common/chip_descriptor.h"

namespace fp::cli {

// A row number, or a name: exact, or without regard to case and blanks, or
// a unique beginning of one ("AT89C2051" for "AT89C2051/2052"); the names a
// row is also sold under count as its names. The error text (in English or
// Russian) says what matched.
std::variant<const ChipDescriptor*, std::string> find_row(std::string_view wanted, bool english);

// The subcommands that work on the row.
struct RowOperations {
  bool erase = false;  // on its own (the ATtiny2313 EEPROM is erased only with the flash)
  bool blank = false;
  bool sdp = false;    // software data protection
  bool fuses = false;  // fuses and lock bits
};
RowOperations row_operations(const ChipDescriptor& row);

// One line a row: number, name, family, size, ID, what pin 1 is and takes,
// the subcommands that work on it; then its other names and notes (never
// 12 V, facts not confirmed on a chip), in English or Russian.
void print_catalogue(std::ostream& out, bool english);

// The catalogue for scripts: {"format": 1, "rows": [{"row", "name",
// "aliases", "family", "size", "id" (hexadecimal codes), "id_needs_12v",
// "pin1", "never_12v", "operations", "unconfirmed"}, ...]}.
void print_catalogue_json(std::ostream& out);

}  // namespace fp::cli
