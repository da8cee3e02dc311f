// What each message box of the program means to a frontend that ends with an
// exit status: one table, beside the texts themselves.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {

inline constexpr int EXIT_SUCCESS_STATUS = 0;
inline constexpr int EXIT_FAILURE_STATUS = 1;  // the operation failed
inline constexpr int EXIT_USAGE_STATUS = 2;    // the command line asked for what cannot be

enum class MessageKind {
  result,    // the operation's word on success, or a value
  failure,   // the operation failed
  usage,     // the parameters asked for what cannot be
  question,  // answered yes or no
  hold,      // holds something on until it is closed (the programming voltage)
};

struct MessageMeaning {
  const char16_t* text;
  MessageKind kind;
};

inline constexpr MessageMeaning MESSAGE_MEANINGS[] = {
    {text::BLANK, MessageKind::result},
    {text::FILE_SAVED, MessageKind::result},
    {text::WRITE_DONE, MessageKind::result},
    {text::DATA_EQUAL, MessageKind::result},
    {text::ERASE_DONE, MessageKind::result},
    {text::NOT_BLANK, MessageKind::failure},
    {text::WRITE_ERROR, MessageKind::failure},
    {text::COMPARE_ERROR, MessageKind::failure},
    {text::ERASE_ERROR, MessageKind::failure},
    {text::FILE_READ_ERROR, MessageKind::failure},
    {text::FILE_WRITE_ERROR, MessageKind::failure},
    {text::TIMER_ERROR, MessageKind::failure},
    {text::ODD_BLOCK, MessageKind::failure},
    {text::BAD_EXTRA_PARAMETERS, MessageKind::usage},
    {text::NOT_IMPLEMENTED, MessageKind::usage},
    {text::BAD_NUMBER, MessageKind::usage},
    {text::EEPROM_ERASE_REFUSED, MessageKind::usage},
    {text::NOT_CALIBRATED, MessageKind::question},
    {text::REMOVE_CHIP, MessageKind::question},
    {text::ERASE_QUESTION, MessageKind::question},
    {text::ARE_YOU_SURE, MessageKind::question},
    {text::VPP_ON, MessageKind::hold},
};

// A text outside the table (a value such as the chip type or the timer count)
// is a result, unless its box carries the error icon.
constexpr MessageKind message_kind(std::u16string_view text, uint32_t flags) {
  for (const MessageMeaning& meaning : MESSAGE_MEANINGS) {
    if (text == meaning.text) return meaning.kind;
  }
  if ((flags & 0xF) == mb::YESNO) return MessageKind::question;
  return (flags & 0xF0) == mb::ICON_ERROR ? MessageKind::failure : MessageKind::result;
}

constexpr int exit_status(MessageKind kind) {
  return kind == MessageKind::failure ? EXIT_FAILURE_STATUS
         : kind == MessageKind::usage ? EXIT_USAGE_STATUS
                                      : EXIT_SUCCESS_STATUS;
}

}  // namespace fp
