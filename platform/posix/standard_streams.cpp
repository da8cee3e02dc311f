#include "platform/posix/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace fp::posix {

MissingStreams open_missing_standard_streams() {
  MissingStreams missing;
  bool* const flags[] = {&missing.input, &missing.output, &missing.error};
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    *flags[descriptor] = true;
    // The lowest free descriptor is this one: the lower ones are open by now.
    const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    if (opened != descriptor && opened >= 0) {
      dup2(opened, descriptor);
      close(opened);
    }
  }
  return missing;
}

}  // namespace fp::posix
