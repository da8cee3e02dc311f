// What a file or port call of this layer could not do, as facts rather than
// words: the kind of failure, the path or device it concerns, the errno. The
// program that shows it words it in its own language; english() gives the
// wording this layer's own messages have always had.
#pragma once

#include <cstdint>
#include <string>

namespace fp::posix {

enum class FailureKind {
  system,               // PATH: errno
  not_regular,          // PATH is no regular file
  in_use,               // PATH is locked by another program
  still_in_use,         // ... and stayed so for `amount` seconds
  larger_than,          // PATH holds more than `amount` bytes
  no_temporary_file,    // no temporary file could be made in PATH
  temporary_unreached,  // the temporary file cannot be reached as PATH
  line_cut_short,       // an appended line went in only in part
  port_open,            // the device PATH cannot be opened
  port_exclusive,       // ... claimed exclusively
  port_claim,           // ... claimed
  port_mode,            // ... set to compatibility mode
  port_data_write,      // a register call on the device PATH failed
  port_control_write,
  port_status_read,
  port_range,       // no three ports start at `amount`
  port_permission,  // ioperm refused the ports from `amount`
};

struct SystemFailure {
  FailureKind kind = FailureKind::system;
  std::string path;
  int error = 0;        // errno; 0 when the failure has none
  uint64_t amount = 0;  // seconds, bytes or a port address, as the kind says
  bool root = false;    // the process ran as root (advice differs)
};

// "PATH: No such file or directory" and the like, with strerror's texts.
std::string english(const SystemFailure& failure);

}  // namespace fp::posix
