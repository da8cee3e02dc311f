// programmer-script [--trace FILE] SCRIPT   (SCRIPT - reads standard input)
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ui/script/script_session.h"

namespace {

int usage() {
  std::cerr << "usage: programmer-script [--trace FILE] SCRIPT   (SCRIPT - reads standard input)\n";
  return 2;
}

std::vector<std::string> read_lines(std::istream& input) {
  std::vector<std::string> lines;
  for (std::string line; std::getline(input, line);) lines.push_back(line);
  return lines;
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
  if (script_path == "-") {
    lines = read_lines(std::cin);
  } else {
    std::ifstream script(script_path);
    if (!script) {
      std::cerr << "programmer-script: cannot open " << script_path << '\n';
      return 2;
    }
    lines = read_lines(script);
  }
  std::ofstream trace;
  if (!trace_path.empty()) {
    trace.open(trace_path, std::ios::trunc);
    if (!trace) {
      std::cerr << "programmer-script: cannot write " << trace_path << '\n';
      return 2;
    }
  }
  try {
    fp::script::ScriptSession session(std::cout, trace_path.empty() ? nullptr : &trace);
    session.run(std::move(lines));
  } catch (const fp::script::ScriptError& error) {
    std::cout.flush();
    std::cerr << "programmer-script: " << error.what() << '\n';
    return 2;
  }
  return 0;
}
