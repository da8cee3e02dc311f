// The catalogue row named on the command line, and the catalogue as a list.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <variant>

#include "chips/common/chip_descriptor.h"

namespace fp::cli {

// A row number, or a name: exact, or without regard to case and blanks, or
// a unique beginning of one ("AT89C2051" for "AT89C2051/2052"). The error
// text says what matched.
std::variant<const ChipDescriptor*, std::string> find_row(std::string_view wanted);

// One line a row: number, name, size and the operations it offers.
void print_catalogue(std::ostream& out);

}  // namespace fp::cli
