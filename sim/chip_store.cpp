#include "sim/chip_store.h"

#include <algorithm>
#include <sstream>

#include "sim/model_factory.h"

namespace fp::sim {
namespace {

constexpr char HEADER[] = "simulated chips 1";
constexpr size_t BYTES_PER_LINE = 32;
constexpr std::string_view MEMORIES[] = {"main", "eeprom"};

std::string hex_bytes(const uint8_t* data, size_t count) {
  static constexpr char DIGITS[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text += DIGITS[data[i] >> 4];
    text += DIGITS[data[i] & 0xF];
  }
  return text;
}

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool parse_hex_bytes(std::string_view text, std::vector<uint8_t>& out) {
  if (text.size() % 2 != 0) return false;
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = digit_value(text[i]);
    const int low = digit_value(text[i + 1]);
    if (high < 0 || low < 0) return false;
    out.push_back(static_cast<uint8_t>(high << 4 | low));
  }
  return true;
}

class StoreReader {
 public:
  StoreReader(std::istream& input, const std::string& path) : input_(input), path_(path) {}

  bool next(std::string& line) {
    if (!std::getline(input_, line)) return false;
    ++number_;
    return true;
  }
  [[noreturn]] void fail(StoreFault fault, std::string name = {}, std::string model = {},
                         size_t held = 0, size_t given = 0) const {
    throw StoreError(
        StoreProblem{fault, path_, number_, std::move(model), std::move(name), held, given});
  }

 private:
  std::istream& input_;
  const std::string& path_;
  size_t number_ = 0;
};

void read_memory(StoreReader& reader, std::istringstream& words, ChipModel& chip) {
  std::string name;
  size_t size = 0;
  if (!(words >> name >> std::hex >> size)) reader.fail(StoreFault::memory_without_size);
  const std::string model(chip.model_name());
  std::vector<uint8_t>* memory = chip.memory(name);
  if (memory == nullptr) reader.fail(StoreFault::no_such_memory, name, model);
  if (memory->size() != size) {
    reader.fail(StoreFault::memory_size, name, model, memory->size(), size);
  }
  std::vector<uint8_t> content;
  content.reserve(size);
  std::string line;
  while (content.size() < size) {
    if (!reader.next(line)) reader.fail(StoreFault::memory_ends_early, name);
    if (!parse_hex_bytes(line, content)) reader.fail(StoreFault::not_hexadecimal);
  }
  if (content.size() != size) reader.fail(StoreFault::memory_too_long, name);
  *memory = std::move(content);
}

}  // namespace

std::string english(const StoreProblem& problem) {
  const std::string& name = problem.name;
  const std::string& model = problem.model;
  std::string what;
  switch (problem.fault) {
    case StoreFault::not_a_board_file:
      what = "not a file of simulated chips";
      break;
    case StoreFault::socket_twice:
      what = "socket given twice";
      break;
    case StoreFault::socket_without_model:
      what = "socket needs a chip model or empty";
      break;
    case StoreFault::unknown_model:
      what = "unknown chip model " + name;
      break;
    case StoreFault::chip_without_end:
      what = "chip without end";
      break;
    case StoreFault::chip_twice:
      what = "chip " + name + " given twice";
      break;
    case StoreFault::outside_a_chip:
      what = name + " outside a chip";
      break;
    case StoreFault::memory_without_size:
      what = "memory needs a name and a size";
      break;
    case StoreFault::no_such_memory:
      what = "the " + model + " has no memory " + name;
      break;
    case StoreFault::memory_size:
      what = "memory " + name + " of the " + model + " holds " + std::to_string(problem.held) +
             " bytes, not " + std::to_string(problem.given);
      break;
    case StoreFault::memory_ends_early:
      what = "memory " + name + " ends early";
      break;
    case StoreFault::not_hexadecimal:
      what = "not a line of hexadecimal bytes";
      break;
    case StoreFault::memory_too_long:
      what = "memory " + name + " holds too many bytes";
      break;
    case StoreFault::state_without_bytes:
      what = "state needs a name and hexadecimal bytes";
      break;
    case StoreFault::state_does_not_fit:
      what = "the state does not fit the " + model;
      break;
    case StoreFault::unknown_keyword:
      what = "unknown keyword " + name;
      break;
    case StoreFault::last_chip_without_end:
      what = "the last chip has no end";
      break;
  }
  return problem.path + ":" + std::to_string(problem.line) + ": " + what;
}

std::vector<std::unique_ptr<ChipModel>> parse_chip_store(const std::string& text,
                                                         const std::string& file_name) {
  return parse_board_store(text, file_name).chips;
}

BoardStore parse_board_store(const std::string& text, const std::string& file_name) {
  BoardStore store;
  std::vector<std::unique_ptr<ChipModel>>& chips = store.chips;
  if (text.empty()) return store;
  std::istringstream input(text);
  StoreReader reader(input, file_name);
  std::string line;
  if (!reader.next(line) || line != HEADER) reader.fail(StoreFault::not_a_board_file);
  ChipModel* chip = nullptr;
  ChipModel::LastingState state;
  while (reader.next(line)) {
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword)) continue;
    if (keyword == "socket" && chip == nullptr) {
      if (store.socket) reader.fail(StoreFault::socket_twice);
      StoredSocket socket;
      if (!(words >> socket.model)) reader.fail(StoreFault::socket_without_model);
      words >> socket.faults;
      if (socket.model == "empty") {
        socket.model.clear();
      } else if (!make_chip_model(socket.model)) {
        reader.fail(StoreFault::unknown_model, socket.model);
      }
      store.socket = socket;
    } else if (keyword == "chip") {
      if (chip != nullptr) reader.fail(StoreFault::chip_without_end);
      std::string name;
      words >> name;
      for (const auto& kept : chips) {
        if (kept->model_name() == name) reader.fail(StoreFault::chip_twice, name);
      }
      auto made = make_chip_model(name);
      if (!made) reader.fail(StoreFault::unknown_model, name);
      chip = made.get();
      chips.push_back(std::move(made));
      state.clear();
    } else if (chip == nullptr) {
      reader.fail(StoreFault::outside_a_chip, keyword);
    } else if (keyword == "memory") {
      read_memory(reader, words, *chip);
    } else if (keyword == "state") {
      std::string name;
      std::string value;
      std::vector<uint8_t> bytes;
      if (!(words >> name >> value) || !parse_hex_bytes(value, bytes)) {
        reader.fail(StoreFault::state_without_bytes);
      }
      state[name] = std::move(bytes);
    } else if (keyword == "end") {
      if (!chip->restore_lasting_state(state)) {
        reader.fail(StoreFault::state_does_not_fit, {}, std::string(chip->model_name()));
      }
      chip = nullptr;
    } else {
      reader.fail(StoreFault::unknown_keyword, keyword);
    }
  }
  if (chip != nullptr) reader.fail(StoreFault::last_chip_without_end);
  return store;
}

std::string chip_store_text(const std::vector<ChipModel*>& chips) {
  return board_store_text(chips, std::nullopt);
}

std::string board_store_text(const std::vector<ChipModel*>& chips,
                             const std::optional<StoredSocket>& socket) {
  std::ostringstream output;
  output << HEADER << '\n';
  if (socket) {
    output << "socket " << (socket->model.empty() ? "empty" : socket->model);
    if (!socket->faults.empty()) output << ' ' << socket->faults;
    output << '\n';
  }
  for (ChipModel* chip : chips) {
    output << "chip " << chip->model_name() << '\n';
    for (const std::string_view name : MEMORIES) {
      const std::vector<uint8_t>* memory = chip->memory(name);
      if (memory == nullptr) continue;
      output << "memory " << name << ' ' << std::hex << std::uppercase << memory->size() << std::dec
             << '\n';
      for (size_t at = 0; at < memory->size(); at += BYTES_PER_LINE) {
        const size_t count = std::min(BYTES_PER_LINE, memory->size() - at);
        output << hex_bytes(memory->data() + at, count) << '\n';
      }
    }
    for (const auto& [name, value] : chip->lasting_state()) {
      output << "state " << name << ' ' << hex_bytes(value.data(), value.size()) << '\n';
    }
    output << "end\n";
  }
  return output.str();
}

}  // namespace fp::sim
