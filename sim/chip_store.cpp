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
  [[noreturn]] void fail(const std::string& what) const {
    throw StoreError(path_ + ":" + std::to_string(number_) + ": " + what);
  }

 private:
  std::istream& input_;
  const std::string& path_;
  size_t number_ = 0;
};

void read_memory(StoreReader& reader, std::istringstream& words, ChipModel& chip) {
  std::string name;
  size_t size = 0;
  if (!(words >> name >> std::hex >> size)) reader.fail("memory needs a name and a size");
  std::vector<uint8_t>* memory = chip.memory(name);
  if (memory == nullptr)
    reader.fail("the " + std::string(chip.model_name()) + " has no memory " + name);
  if (memory->size() != size) {
    reader.fail("memory " + name + " of the " + std::string(chip.model_name()) + " holds " +
                std::to_string(memory->size()) + " bytes, not " + std::to_string(size));
  }
  std::vector<uint8_t> content;
  content.reserve(size);
  std::string line;
  while (content.size() < size) {
    if (!reader.next(line)) reader.fail("memory " + name + " ends early");
    if (!parse_hex_bytes(line, content)) reader.fail("not a line of hexadecimal bytes");
  }
  if (content.size() != size) reader.fail("memory " + name + " holds too many bytes");
  *memory = std::move(content);
}

}  // namespace

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
  if (!reader.next(line) || line != HEADER) reader.fail("not a file of simulated chips");
  ChipModel* chip = nullptr;
  ChipModel::LastingState state;
  while (reader.next(line)) {
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword)) continue;
    if (keyword == "socket" && chip == nullptr) {
      if (store.socket) reader.fail("socket given twice");
      StoredSocket socket;
      if (!(words >> socket.model)) reader.fail("socket needs a chip model or empty");
      words >> socket.faults;
      if (socket.model == "empty") {
        socket.model.clear();
      } else if (!make_chip_model(socket.model)) {
        reader.fail("unknown chip model " + socket.model);
      }
      store.socket = socket;
    } else if (keyword == "chip") {
      if (chip != nullptr) reader.fail("chip without end");
      std::string name;
      words >> name;
      for (const auto& kept : chips) {
        if (kept->model_name() == name) reader.fail("chip " + name + " given twice");
      }
      auto made = make_chip_model(name);
      if (!made) reader.fail("unknown chip model " + name);
      chip = made.get();
      chips.push_back(std::move(made));
      state.clear();
    } else if (chip == nullptr) {
      reader.fail(keyword + " outside a chip");
    } else if (keyword == "memory") {
      read_memory(reader, words, *chip);
    } else if (keyword == "state") {
      std::string name;
      std::string value;
      std::vector<uint8_t> bytes;
      if (!(words >> name >> value) || !parse_hex_bytes(value, bytes)) {
        reader.fail("state needs a name and hexadecimal bytes");
      }
      state[name] = std::move(bytes);
    } else if (keyword == "end") {
      if (!chip->restore_lasting_state(state)) {
        reader.fail("the state does not fit the " + std::string(chip->model_name()));
      }
      chip = nullptr;
    } else {
      reader.fail("unknown keyword " + keyword);
    }
  }
  if (chip != nullptr) reader.fail("the last chip has no end");
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
