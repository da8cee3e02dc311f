// The system's refusals as the command line words them: the errno texts a
// user meets at a bench (a missing file, a full disk, a busy port) and the
// file and port failures of the platform layer, in the run's language.
#pragma once

#include <string>

#include "platform/posix/system_failure.h"

namespace fp::cli {

// strerror's text in English; in Russian the program's own for the errno
// values files and ports give, strerror's for the rare rest.
std::string error_text(int error, bool english);

// "image.bin: No such file or directory", "cannot open /dev/parport9: ...".
std::string failure_text(const posix::SystemFailure& failure, bool english);

}  // namespace fp::cli
