#include "frontends/win32/wait_cursor.h"

namespace fp::win32 {

WaitCursor::WaitCursor()
    : wait_(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))),     // IDC_WAIT
      arrow_(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))) {}  // IDC_ARROW

bool WaitCursor::show(bool shown) {
  const bool was = shown_;
  if (shown && !shown_) {
    before_ = SetCursor(wait_);
  } else if (!shown && shown_) {
    // A thread that never set a cursor had none of its own: no cursor at all
    // would hide the pointer over the window.
    SetCursor(before_ != nullptr && before_ != wait_ ? before_ : arrow_);
  }
  shown_ = shown;
  return was;
}

}  // namespace fp::win32
