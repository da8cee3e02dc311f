// How the headless frontends print what the window shows: texts in quotes,
// message-box flags and answers by their Windows names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fp::headless {

// The text of a box or control as printed: \r\n as four characters, \" for a quote.
std::string quoted(std::u16string_view text);
std::string flag_names(uint32_t flags);
std::string answer_name(int answer);

}  // namespace fp::headless
