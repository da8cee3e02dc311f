#include "platform/posix/system_failure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace fp::posix {
namespace {

std::string hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llXh", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

std::string english(const SystemFailure& failure) {
  const std::string& path = failure.path;
  const std::string reason = std::strerror(failure.error);
  switch (failure.kind) {
    case FailureKind::system:
      return path + ": " + reason;
    case FailureKind::not_regular:
      return path + ": not a regular file";
    case FailureKind::in_use:
      return path + ": in use by another program";
    case FailureKind::still_in_use:
      return path + ": still in use by another program after " + std::to_string(failure.amount) +
             " s";
    case FailureKind::larger_than:
      return path + ": larger than " + std::to_string(failure.amount) + " bytes";
    case FailureKind::no_temporary_file:
      return "cannot create a temporary file in " + path + ": " + reason;
    case FailureKind::temporary_unreached:
      return "cannot reach the temporary file as " + path + ": " + reason;
    case FailureKind::line_cut_short:
      return path + ": the line was cut short (a full disk?)";
    case FailureKind::port_open:
      return "cannot open " + path + ": " + reason;
    case FailureKind::port_exclusive:
      return "cannot claim " + path + " exclusively: " + reason;
    case FailureKind::port_claim:
      return "cannot claim " + path + ": " + reason;
    case FailureKind::port_mode:
      return "cannot set " + path + " to compatibility mode: " + reason;
    case FailureKind::port_data_write:
      return "data write on " + path + " failed: " + reason;
    case FailureKind::port_control_write:
      return "control write on " + path + " failed: " + reason;
    case FailureKind::port_status_read:
      return "status read on " + path + " failed: " + reason;
    case FailureKind::port_range:
      return "no port range at " + hex(failure.amount);
    case FailureKind::port_permission: {
      std::string text =
          "cannot use ports " + hex(failure.amount) + "-" + hex(failure.amount + 2) + ": " + reason;
      if (failure.error == EPERM || failure.error == EACCES) {
        // Root refused: a locked-down kernel (Secure Boot) allows no port instructions.
        text += failure.root
                    ? " (the kernel allows no direct I/O, not even to root: use --port ppdev)"
                    : " (direct I/O needs root)";
      }
      return text;
    }
  }
  return path;
}

}  // namespace fp::posix
