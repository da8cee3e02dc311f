#include "frontends/headless/quoting.h"

#include "platform/utf8.h"
#include "ui/message_box.h"

namespace fp::headless {

std::string quoted(std::u16string_view text) {
  std::string result = "\"";
  for (const char c : to_utf8(text)) {
    if (c == '\r') {
      result += "\\r";
    } else if (c == '\n') {
      result += "\\n";
    } else if (c == '"') {
      result += "\\\"";
    } else {
      result += c;
    }
  }
  return result + "\"";
}

std::string flag_names(uint32_t flags) {
  std::string names = (flags & 0xF) == mb::YESNO ? "MB_YESNO" : "MB_OK";
  switch (flags & 0xF0) {
    case mb::ICON_ERROR:
      names += "|MB_ICONERROR";
      break;
    case mb::ICON_WARNING:
      names += "|MB_ICONWARNING";
      break;
    case mb::ICON_INFORMATION:
      names += "|MB_ICONINFORMATION";
      break;
    default:
      break;
  }
  if ((flags & mb::DEFBUTTON2) != 0) names += "|MB_DEFBUTTON2";
  return names;
}

std::string answer_name(int answer) {
  switch (answer) {
    case answer::OK:
      return "IDOK";
    case answer::CANCEL:
      return "IDCANCEL";
    case answer::YES:
      return "IDYES";
    case answer::NO:
      return "IDNO";
    default:
      return std::to_string(answer);
  }
}

}  // namespace fp::headless
