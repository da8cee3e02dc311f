// --log FILE: one line per run appended to a production log. Each line is
// given to one write() on a descriptor opened with O_APPEND, so that runs
// appending at once never mix their lines.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "platform/posix/appended_file.h"

namespace fp::cli {

struct RunLogLine {
  std::time_t time = 0;           // the run's end
  std::string port;               // as given or chosen
  std::string row;                // empty: no row chosen
  std::string id;                 // the ID that answered; empty: none
  std::string operation;          // the subcommand
  std::string file;               // empty: the command takes none
  std::optional<uint32_t> crc32;  // of the slice, when known
  std::string result;             // ok, failed, usage, interrupted
  uint64_t board_time_us = 0;
  int exit_status = 0;
};

// "2026-12-07T21:14:31Z port=sim row=AT49F512 id=\"1F 03\" op=write
// file=image.bin crc32=B11DE6A1 result=ok board_time=0.053 exit=0" on one
// line; a value with blanks, quotes, backslashes or control characters is
// quoted with C escapes, an empty one is "-".
std::string run_log_text(const RunLogLine& line);

// The log, opened for appending before the run touches anything, so that a
// run whose line could not be written never starts; each line one write().
class RunLogFile {
 public:
  // An error text, in English or Russian, when it cannot be opened for appending.
  std::optional<std::string> open(const std::string& path, bool english);
  // An error text when the line could not be written whole.
  std::optional<std::string> append(const std::string& text);

 private:
  bool english_ = false;
  posix::AppendedFile file_;
};

}  // namespace fp::cli
