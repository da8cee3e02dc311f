// programmer-script [--trace FILE] SCRIPT   (SCRIPT - reads standard input)

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "frontends/script/script_session.h"

namespace {

// Far more than any script holds: a longer input (a device that never ends)
// is no script.
constexpr size_t SCRIPT_LIMIT = size_t{16} << 20;

int usage() {
  std::cerr << "usage: programmer-script [--trace FILE] SCRIPT   (SCRIPT - reads standard input)\n";
  return 2;
}

int refuse(const std::string& why) {
  std::cerr << "programmer-script: " << why << '\n';
  return 2;
}

// The lines of the input; false when it holds more than SCRIPT_LIMIT bytes.
bool read_lines(std::istream& input, std::vector<std::string>& lines) {
  std::streambuf& bytes = *input.rdbuf();
  size_t total = 0;
  std::string line;
  for (int c = bytes.sbumpc(); c != std::char_traits<char>::eof(); c = bytes.sbumpc()) {
    if (++total > SCRIPT_LIMIT) return false;
    if (c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string trace_path;
  std::string script_path;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--trace" && i + 1 < args.size()) {
      trace_path = args[++i];
    } else if (script_path.empty() && (args[i] == "-" || args[i].rfind("--", 0) != 0)) {
      script_path = args[i];
    } else {
      return usage();
    }
  }
  if (script_path.empty()) return usage();

  std::vector<std::string> lines;
  bool whole = true;
  if (script_path == "-") {
    whole = read_lines(std::cin, lines);
  } else {
    // A folder or a device (/dev/null) is no script, though it opens.
    std::error_code error;
    const auto entry = std::filesystem::status(script_path, error);
    if (std::filesystem::exists(entry) && !std::filesystem::is_regular_file(entry) &&
        !std::filesystem::is_fifo(entry)) {
      return refuse(script_path + " is not a script file");
    }
    std::ifstream script(script_path);
    if (!script) return refuse("cannot open " + script_path);
    whole = read_lines(script, lines);
  }
  if (!whole) return refuse("the script is longer than " + std::to_string(SCRIPT_LIMIT) + " bytes");
  std::ofstream trace;
  if (!trace_path.empty()) {
    trace.open(trace_path, std::ios::trunc);
    if (!trace) return refuse("cannot write " + trace_path);
  }
  try {
    fp::script::ScriptSession session(std::cout, trace_path.empty() ? nullptr : &trace);
    session.run(std::move(lines));
  } catch (const fp::headless::ScriptError& error) {
    std::cout.flush();
    return refuse(error.what());
  }
  return 0;
}
