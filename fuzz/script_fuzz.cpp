// Whole operator scripts through the headless frontend: any script either
// plays to its end ("exit 0" last) or stops with a script error; nothing
// crashes, and no file outside a private folder is ever touched (every file
// name in the script is replaced by one of a few files of that folder).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "frontends/headless/quoting.h"
#include "frontends/headless/script_line.h"
#include "frontends/script/script_session.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace fs = std::filesystem;

// Enough for every command and a few operations; a script is played in well
// under a second even when every operation runs over a whole chip.
constexpr size_t MAX_LINES = 64;
constexpr size_t MAX_OPERATIONS = 4;

// Whole-chip loops are the matrix's business: here read, write and compare
// start on a short slice, which a script may still widen.
const std::vector<std::string> PROLOGUE{"click 1007", "text 1014 100"};

class Sandbox {
 public:
  Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "script-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
  }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // The same files before every script: sizes of a small chip, of a large
  // one, of the EEPROM; a name that does not exist; a folder.
  void reset() const {
    write("image.bin", 0x800);
    write("chip.bin", 0x20000);
    write("eeprom.bin", 0x80);
    std::error_code ignored;
    fs::remove_all(folder_ / "missing.bin", ignored);
    fs::create_directories(folder_ / "folder", ignored);
  }

  [[nodiscard]] std::string file_for(std::string_view word) const {
    static constexpr std::string_view NAMES[] = {"image.bin", "chip.bin", "eeprom.bin",
                                                 "missing.bin", "folder"};
    const size_t pick = std::hash<std::string_view>{}(word) % std::size(NAMES);
    return (folder_ / NAMES[pick]).string();
  }

 private:
  void write(const char* name, size_t size) const {
    std::vector<char> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + (i >> 8));
    std::ofstream file(folder_ / name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(size));
  }

  fs::path folder_;
};

bool is_image_path_control(const std::string& word) {
  if (word.empty() || word.size() > 9) return false;
  for (const char c : word) {
    if (c < '0' || c > '9') return false;
  }
  return std::stoul(word) == 1001;
}

bool is_operation(const std::string& command) {
  return command == "click";
}

// The line as played: file names sent to the sandbox.
std::string confined(const std::string& line, const std::vector<std::string>& words,
                     const Sandbox& sandbox) {
  if (words.empty()) return line;
  const std::string& command = words[0];
  const auto quoted_file = [&](const std::string& word) {
    return '"' + sandbox.file_for(word) + '"';
  };
  if (command == "fill" || command == "dump") {
    // The memory name only matters when it is bare; anything else is an error anyway.
    if (words.size() != 3) return command;
    const bool bare = words[1] == "main" || words[1] == "eeprom";
    return command + ' ' + (bare ? words[1] : std::string("other")) + ' ' + quoted_file(words[2]);
  }
  if (command == "filedialog") {
    if (words.size() != 2) return command;
    return words[1] == "cancel" ? line : command + ' ' + quoted_file(words[1]);
  }
  if (command == "text" && words.size() == 3 && is_image_path_control(words[1])) {
    return command + ' ' + words[1] + ' ' + quoted_file(words[2]);
  }
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Sandbox sandbox;
  // Only a dump or an operation (a Read saves its file) changes the files.
  static bool files_changed = true;
  if (files_changed) sandbox.reset();
  files_changed = false;

  std::vector<std::string> lines = PROLOGUE;
  size_t operations = 0;
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  for (std::string line; std::getline(input, line) && lines.size() < PROLOGUE.size() + MAX_LINES;) {
    const auto split = fp::headless::split_script_line(line);
    const auto* words = std::get_if<std::vector<std::string>>(&split);
    if (words == nullptr) {
      lines.push_back(line);  // a script error when it is reached
      continue;
    }
    if (!words->empty() && is_operation((*words)[0]) && ++operations > MAX_OPERATIONS) break;
    if (!words->empty() && ((*words)[0] == "dump" || is_operation((*words)[0]))) {
      files_changed = true;
    }
    lines.push_back(confined(line, *words, sandbox));
  }

  std::ostringstream output;
  try {
    fp::script::ScriptSession session(output, nullptr);
    session.run(lines);
  } catch (const fp::headless::ScriptError&) {
    return 0;
  }
  const std::string shown = output.str();
  FUZZ_CHECK(shown.size() >= 7 && shown.compare(shown.size() - 7, 7, "exit 0\n") == 0);
  return 0;
}
