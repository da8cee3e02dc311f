// The wait cursor over the program's windows while a command of theirs holds
// the thread (a chip operation), the cursor as it was while a box or dialog
// the command opens has the operator's attention.
#pragma once

#include <windows.h>

namespace fp::win32 {

// The handle of the wait cursor, on each window of the program: a cursor's
// handle is its process's own, so another program (the test driver) compares
// the cursor the system shows with this one.
inline constexpr wchar_t WAIT_CURSOR_PROPERTY[] = L"programmer.wait-cursor";

class WaitCursor {
 public:
  WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

  // The wait cursor while one lives: for the length of a command.
  class Shown {
   public:
    explicit Shown(WaitCursor& cursor) : cursor_(cursor), before_(cursor.show(true)) {}
    ~Shown() { cursor_.show(before_); }
    Shown(const Shown&) = delete;
    Shown& operator=(const Shown&) = delete;

   private:
    WaitCursor& cursor_;
    bool before_;
  };

  // The cursor as before the command while one lives: around a box or dialog
  // the command opens; the wait cursor comes back after it.
  class Paused {
   public:
    explicit Paused(WaitCursor* cursor)
        : cursor_(cursor), before_(cursor != nullptr && cursor->show(false)) {}
    ~Paused() {
      if (cursor_ != nullptr) cursor_->show(before_);
    }
    Paused(const Paused&) = delete;
    Paused& operator=(const Paused&) = delete;

   private:
    WaitCursor* cursor_;
    bool before_;
  };

  [[nodiscard]] bool shown() const { return shown_; }
  [[nodiscard]] HCURSOR cursor() const { return wait_; }

 private:
  // Shows or takes away the wait cursor; whether it was shown.
  bool show(bool shown);

  HCURSOR wait_;
  HCURSOR arrow_;
  // What the thread showed before the wait cursor, given back after it.
  HCURSOR before_ = nullptr;
  bool shown_ = false;
};

}  // namespace fp::win32
