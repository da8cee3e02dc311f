// A message box of another process, read back into the text, caption and
// flags the program passed to MessageBoxW: the buttons give the button set,
// the default button MB_DEFBUTTON2, the colours of the icon its kind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace fp::driver {

struct ShownBox {
  std::wstring text;
  std::wstring caption;
  uint32_t flags = 0;
  int default_answer = IDOK;
};

// A dialog-class window with the message text control and answer buttons.
bool is_message_box(HWND window);
ShownBox read_message_box(HWND box);

// The caption the system gives a box without one, in this locale.
const std::wstring& default_caption();

}  // namespace fp::driver
