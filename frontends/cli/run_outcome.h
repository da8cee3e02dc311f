// How a command-line run is going: failed, asked for what cannot be, or
// fine so far; the parts of a run note why on the console as they decide.
#pragma once

#include <string_view>

#include "frontends/cli/console.h"
#include "frontends/cli/exit_status.h"

namespace fp::cli {

class RunOutcome {
 public:
  explicit RunOutcome(Console& console) : console_(console) {}

  void fail(std::string_view why) {
    if (!why.empty()) console_.failure(why);
    failed_ = true;
  }
  void usage(std::string_view why) {
    if (!why.empty()) console_.failure(why);
    usage_error_ = true;
  }
  // What a message box of the window says about the run.
  void take(MessageKind kind) {
    if (kind == MessageKind::failure) failed_ = true;
    if (kind == MessageKind::usage) usage_error_ = true;
  }

  [[nodiscard]] bool failed() const { return failed_; }
  [[nodiscard]] bool usage_error() const { return usage_error_; }
  [[nodiscard]] bool ok() const { return !failed_ && !usage_error_; }
  [[nodiscard]] int status() const {
    return usage_error_ ? EXIT_USAGE_STATUS : failed_ ? EXIT_FAILURE_STATUS : EXIT_SUCCESS_STATUS;
  }

 private:
  Console& console_;
  bool failed_ = false;
  bool usage_error_ = false;
};

}  // namespace fp::cli
