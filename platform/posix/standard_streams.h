// Descriptors 0, 1 and 2 of a program started without them: a file the
// program opens would otherwise take their place, and what it prints would
// go into that file.
#pragma once

namespace fp::posix {

struct MissingStreams {
  bool input = false;
  bool output = false;
  bool error = false;
};

// Opens /dev/null on each of the three that is not open; says which were not.
MissingStreams open_missing_standard_streams();

}  // namespace fp::posix
