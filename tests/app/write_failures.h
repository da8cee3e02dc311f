// What a planned write said about why it stopped, kept for a test to read.
#pragma once

#include <string>
#include <string_view>

#include "app/write_planner.h"

namespace fp::test {

struct WriteFailures {
  std::string text;  // one line for each failure
  bool failed = false;
  WriteFailure sink() {
    return [this](std::string_view why) {
      failed = true;
      text += std::string(why) + '\n';
    };
  }
};

}  // namespace fp::test
