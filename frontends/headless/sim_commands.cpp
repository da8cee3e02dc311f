#include "frontends/headless/sim_commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "frontends/headless/script_line.h"
#include "sim/model_factory.h"

namespace fp::headless {
namespace {

// Script words are UTF-8, whatever the system's code page.
std::filesystem::path file_path(const std::string& word) {
  return std::filesystem::path(std::u8string(word.begin(), word.end()));
}

// The file's bytes, up to one more than limit: enough to tell it is too long
// without reading an endless one.
std::vector<uint8_t> read_file(const std::string& path, size_t limit) {
  std::ifstream file(file_path(path), std::ios::binary);
  if (!file) throw ScriptError("cannot open file " + path);
  std::vector<uint8_t> bytes(limit + 1);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(file.gcount()));
  return bytes;
}

void expect_words(const std::vector<std::string>& words, size_t count) {
  if (words.size() != count) {
    throw ScriptError(words[0] + " takes " + std::to_string(count - 1) + " argument(s)");
  }
}

}  // namespace

bool is_sim_command(const std::string& command) {
  return command == "insert" || command == "fill" || command == "dump" || command == "fuses" ||
         command == "timer" || command == "fault";
}

std::vector<uint8_t>& SimCommands::chip_memory(const std::string& which) {
  if (board_.chip() == nullptr) throw ScriptError("the socket is empty");
  std::vector<uint8_t>* memory = board_.chip()->memory(which);
  if (memory == nullptr) throw ScriptError("the chip has no memory " + which);
  return *memory;
}

void SimCommands::apply_faults() {
  if (board_.chip() != nullptr) board_.chip()->set_faults(faults_);
}

void SimCommands::execute(const std::vector<std::string>& words, std::ostream& output) {
  const std::string& command = words.at(0);
  if (command == "insert") {
    expect_words(words, 2);
    if (words[1] == "none") {
      board_.insert(nullptr);
      return;
    }
    auto chip = sim::make_chip_model(words[1]);
    if (!chip) {
      for (const std::string_view known : sim::model_names()) {
        if (known == words[1]) throw ScriptError("model " + words[1] + " is not available yet");
      }
      throw ScriptError("unknown model " + words[1]);
    }
    board_.insert(std::move(chip));
    apply_faults();
  } else if (command == "fill") {
    expect_words(words, 3);
    std::vector<uint8_t>& memory = chip_memory(words[1]);
    std::vector<uint8_t> content = read_file(words[2], memory.size());
    if (content.size() != memory.size()) {
      throw ScriptError(
          "file " + words[2] + " holds " +
          (content.size() > memory.size() ? "more than" : std::to_string(content.size())) +
          " bytes, the memory " + std::to_string(memory.size()));
    }
    memory = std::move(content);
  } else if (command == "dump") {
    expect_words(words, 3);
    const std::vector<uint8_t>& memory = chip_memory(words[1]);
    std::ofstream file(file_path(words[2]), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(memory.data()),
               static_cast<std::streamsize>(memory.size()));
    if (!file) throw ScriptError("cannot write file " + words[2]);
  } else if (command == "fuses") {
    expect_words(words, 1);
    const auto fuses = board_.chip() != nullptr ? board_.chip()->fuses() : std::nullopt;
    if (!fuses) throw ScriptError("the chip in the socket has no fuses");
    char line[64];
    std::snprintf(line, sizeof line, "fuses low=%02X high=%02X ext=%02X lock=%02X\n", fuses->low,
                  fuses->high, fuses->extended, fuses->lock);
    output << line;
  } else if (command == "timer") {
    expect_words(words, 2);
    if (words[1] == "stuck") {
      board_.set_timer_period(std::nullopt);
    } else if (const auto polls = parse_script_number(words[1], 10);
               polls && *polls <= 0xFFFFFFFF) {
      board_.set_timer_period(static_cast<uint32_t>(*polls));
    } else {
      throw ScriptError("timer takes a number of polls or stuck");
    }
  } else if (command == "fault") {
    fault(words);
  } else {
    throw ScriptError("unknown command " + command);
  }
}

void SimCommands::fault(const std::vector<std::string>& words) {
  if (words.size() < 2) throw ScriptError("fault takes a kind");
  const std::string& kind = words[1];
  if (kind == "stuck") {
    expect_words(words, 4);
    const auto address = parse_script_number(words[2], 16);
    const auto value = parse_script_number(words[3], 16);
    if (!address || *address > 0x7FFFF || !value || *value > 0xFF) {
      throw ScriptError("fault stuck takes a hexadecimal address and byte");
    }
    faults_.stuck[static_cast<uint32_t>(*address)] = static_cast<uint8_t>(*value);
  } else if (kind == "never-ready") {
    expect_words(words, 2);
    faults_.never_ready = true;
  } else if (kind == "pulses") {
    expect_words(words, 4);
    const auto count = parse_script_number(words[3], 10);
    if (!count || *count == 0 || *count > 0xFFFFFFFF) throw ScriptError("bad pulse count");
    if (words[2] == "program") {
      faults_.program_pulses = static_cast<uint32_t>(*count);
    } else if (words[2] == "erase") {
      faults_.erase_pulses = static_cast<uint32_t>(*count);
    } else {
      throw ScriptError("fault pulses takes program or erase");
    }
  } else if (kind == "clear") {
    expect_words(words, 2);
    faults_ = {};
  } else {
    throw ScriptError("unknown fault " + kind);
  }
  apply_faults();
}

}  // namespace fp::headless
