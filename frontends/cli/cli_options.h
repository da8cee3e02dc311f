// The command line of the programmer: one subcommand per operation and the
// options common to all of them.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "frontends/cli/console.h"

namespace fp::cli {

enum class Command {
  list,
  id,
  read,
  write,
  verify,
  blank,
  erase,
  sdp,
  fuses,
  lock,
  calibrate,
  probe,
  sim,
  sum
};

struct CliOptions {
  Command command = Command::list;
  std::string file;         // read, write, verify, sum
  std::string chip;         // name or row; empty: not given
  std::string port;         // empty: PROGRAMMER_PORT, else the first port found
  std::string port_origin;  // where the port came from when not from --port
  // Texts as given; option_checks reads the numbers.
  std::optional<std::string> file_offset;
  std::optional<std::string> chip_offset;
  std::optional<std::string> length;
  std::optional<std::string> blocks;  // "all" or a list of block addresses
  std::optional<std::string> block;   // "chip" or a block address
  bool yes = false;
  // The window's fixed waits instead of asking the chip when it is done.
  bool fixed_waits = false;
  std::string trace;
  std::string backup;    // write, erase: the whole chip saved here first
  std::string language;  // ru or en: --lang, else the locale
  std::string format;    // empty: by the file's content
  bool sdp_on = false;
  std::optional<std::string> fuse_low;
  std::optional<std::string> fuse_high;
  std::optional<std::string> fuse_extended;
  std::string lock_value;
  bool no_erase = false;  // write: the window's plain write
  bool force = false;     // no identification check before changing the chip
  // write --repeat: chip after chip until Ctrl-C or --count chips.
  bool repeat = false;
  std::optional<std::string> count;
  bool json = false;  // list, id: for scripts
  // sim: insert or remove, and the row put in.
  std::string sim_action;
  std::string sim_row;
  std::string diff;      // verify: every difference written here
  bool quiet = false;    // -q: errors only
  bool verbose = false;  // -v: probe, plan, board time
  bool dry_run = false;  // write, erase: the plan only, nothing changed
  std::string log;       // one line per run appended here
};

// The options, or the exit status when the program ends here (help: 0,
// bad usage: 2), after the parser has said why: in the language of --lang,
// else in locale_language, which is also the run's without --lang.
std::variant<CliOptions, int> parse_command_line(int argc, const char* const* argv,
                                                 std::ostream& out, std::ostream& err,
                                                 Language locale_language = Language::russian);

// Names of the subcommands, as typed.
const char* command_name(Command command);

}  // namespace fp::cli
