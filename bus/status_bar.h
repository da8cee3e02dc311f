// Where the running address of a chip loop is shown (the main window's status bar).
#pragma once

#include <string_view>

namespace fp {

class StatusBar {
 public:
  virtual ~StatusBar() = default;
  virtual void set_status_text(std::u16string_view text) = 0;
};

}  // namespace fp
