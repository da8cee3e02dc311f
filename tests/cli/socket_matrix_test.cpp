// Every operation of every catalogue row against every row's chip in the
// socket (holding a pattern, in the state the program's own write leaves it)
// and against an empty socket, through the command line: another chip is
// refused, no harm is reported and not one byte changes; the row's own chip
// works. The rows come from the table: a new row joins by itself.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "app/catalogue.h"
#include "app/socket_probe.h"
#include "frontends/cli/cli_options.h"
#include "frontends/cli/cli_session.h"
#include "platform/posix/run_signals.h"
#include "platform/utf8.h"
#include "tests/support/test_folder.h"

namespace fp {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status;
  std::string err;
};

CliRun run(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"programmer"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  std::istringstream in;
  auto parsed = cli::parse_command_line(static_cast<int>(argv.size()), argv.data(), out, err);
  if (const int* status = std::get_if<int>(&parsed)) return {*status, err.str()};
  cli::ConsoleSettings settings;
  settings.assume_yes = true;
  cli::Console console(out, err, in, settings);
  posix::RunSignals signals;
  const int status = cli::run_command(std::get<cli::CliOptions>(parsed), console, signals);
  return {status, err.str()};
}

// The board file is read after every run: a block read, not a character at a time.
std::string file_text(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return std::move(text).str();
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// What each operation of the row is asked, with the options the row needs.
std::vector<std::vector<std::string>> operations(const ChipDescriptor& row, const fs::path& dir) {
  const std::string name = to_utf8(row.name);
  const std::string image = (dir / "pattern.bin").string();
  std::vector<std::string> erase{"erase", "--chip", name};
  if (row.facts.erase == EraseLayout::blocks) erase.insert(erase.end(), {"--blocks", "all"});
  if (row.facts.driver == ChipDriver::byte_program) erase.insert(erase.end(), {"--block", "chip"});
  return {
      {"id", "--chip", name},
      {"read", (dir / "out.bin").string(), "--chip", name, "--length", "40"},
      {"verify", image, "--chip", name, "--length", "40"},
      {"blank", "--chip", name},
      {"write", (dir / "other.bin").string(), "--chip", name, "--length", "40"},
      erase,
      {"sdp", "on", "--chip", name},
      {"fuses", "--chip", name},
      {"lock", "FC", "--chip", name},
  };
}

// The first row of each simulated model stands for it in the socket.
std::vector<const ChipDescriptor*> socket_rows() {
  std::set<std::string> seen;
  std::vector<const ChipDescriptor*> rows;
  for (const ChipDescriptor& row : catalogue_rows()) {
    if (seen.insert(row.facts.model).second) rows.push_back(&row);
  }
  return rows;
}

// What the probe's decision and the handlers' voltages depend on besides the
// ID codes: rows alike in all of it take the same path on a foreign chip.
auto path_key(const ChipFacts& facts) {
  return std::tuple(facts.driver, facts.id_method, facts.id_mv, facts.socket, facts.pin1,
                    facts.pin1_max_mv, facts.vpp_operations, facts.erase, facts.protection,
                    facts.fuses);
}

// One row of each path that is not the held chip's own (its ID codes then
// differ from the held chip's, which the own-row test and the probe's
// tests cover).
std::vector<const ChipDescriptor*> foreign_rows(const ChipDescriptor* held) {
  std::set<decltype(path_key(ChipFacts{}))> seen;
  std::vector<const ChipDescriptor*> rows;
  for (const ChipDescriptor& row : catalogue_rows()) {
    if (held != nullptr && held->facts.model == row.facts.model) continue;
    if (seen.insert(path_key(row.facts)).second) rows.push_back(&row);
  }
  return rows;
}

// Each simulated chip, and the empty socket (the last), is a test of its own.
class SocketMatrix : public ::testing::TestWithParam<size_t> {};

TEST_P(SocketMatrix, OnlyTheRowsOwnChipIsTouched) {
  const std::vector<const ChipDescriptor*> sockets = socket_rows();
  const ChipDescriptor* held = GetParam() < sockets.size() ? sockets[GetParam()] : nullptr;
  const std::string socket = held != nullptr ? to_utf8(held->name) : "empty";
  test::TestFolder folder("socket_matrix");
  const fs::path& dir = folder.path();
  std::string pattern(0x80000, '\0'), other(0x80000, '\0');
  for (size_t i = 0; i < pattern.size(); ++i) {
    pattern[i] = static_cast<char>(i * 7 + 3);
    other[i] = static_cast<char>(i * 13 + 5);
  }
  write_file(dir / "pattern.bin", pattern);
  write_file(dir / "other.bin", other);
  const fs::path board = dir / "board.sim";
  const std::string port = "sim:" + board.string() + ",socket=" + socket;
  if (held != nullptr) {
    // The pattern, written by the program itself (page-write chips end protected).
    const CliRun setup = run({"write", (dir / "pattern.bin").string(), "--chip", socket, "--port",
                              port, "--length", "40"});
    ASSERT_EQ(setup.status, 0) << socket << ": " << setup.err;
  }
  const std::string before = file_text(board);
  for (const ChipDescriptor* row : foreign_rows(held)) {
    // An ATtiny says nothing before its high-voltage entry: a 12 V row's
    // own ID, run when nothing answers at 5 V, reaches its RESET pin
    // (within its 13 V rating). The model calls the voltage without the
    // entry a protocol fault; the chip stays out of programming mode.
    const bool unseen = held != nullptr && identifies_with_high_voltage(*held) &&
                        identifies_with_high_voltage(*row);
    for (auto args : operations(*row, dir)) {
      args.insert(args.end(), {"--port", port});
      const CliRun result = run(args);
      const std::string what = args[0] + " " + to_utf8(row->name) + " on " + socket;
      EXPECT_NE(result.status, 0) << what << ": " << result.err;
      if (!unseen) {
        EXPECT_EQ(result.err.find("sim:"), std::string::npos) << what << ": " << result.err;
      }
      EXPECT_EQ(result.err.find("not touched"), std::string::npos) << what;
      if (held == nullptr) continue;
      const std::string after = file_text(board);
      EXPECT_TRUE(after == before) << what << " changed the chip: " << result.err;
      if (after != before) write_file(board, before);
    }
  }
  // calibrate needs an empty socket; an ATtiny cannot be seen at 5 V, so
  // the voltage reaches its RESET (see above).
  const bool unseen = held != nullptr && held->facts.id_method == IdMethod::attiny_high_volts;
  const CliRun calibrate = run({"calibrate", "--port", port});
  EXPECT_EQ(calibrate.status != 0, held != nullptr && !unseen) << "calibrate on " << socket;
  EXPECT_TRUE(unseen || calibrate.err.find("sim:") == std::string::npos) << calibrate.err;
  EXPECT_TRUE(held == nullptr || file_text(board) == before) << "calibrate on " << socket;
}

INSTANTIATE_TEST_SUITE_P(EverySocket, SocketMatrix,
                         ::testing::Range(size_t{0}, socket_rows().size() + 1),
                         [](const ::testing::TestParamInfo<size_t>& param_info) {
                           const auto sockets = socket_rows();
                           if (param_info.param >= sockets.size()) return std::string("empty");
                           std::string name;
                           for (const char c :
                                std::string(sockets[param_info.param]->facts.model)) {
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           }
                           return name;
                         });

TEST(SocketMatrixOwn, EveryRowWorksOnItsOwnChip) {
  test::TestFolder folder("socket_matrix_own");
  const fs::path& dir = folder.path();
  std::string pattern(0x80000, '\0');
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<char>(i * 7 + 3);
  write_file(dir / "pattern.bin", pattern);
  write_file(dir / "other.bin", pattern);
  for (const ChipDescriptor& row : catalogue_rows()) {
    const std::string name = to_utf8(row.name);
    const fs::path board = dir / "board.sim";
    fs::remove(board);
    const std::string port = "sim:" + board.string() + ",socket=" + name;
    for (const std::string command : {"write", "id", "read", "verify"}) {
      auto args = operations(row, dir);
      for (auto& op : args) {
        if (op[0] != command) continue;
        op.insert(op.end(), {"--port", port});
        const CliRun result = run(op);
        EXPECT_EQ(result.status, 0) << command << " " << name << ": " << result.err;
        EXPECT_EQ(result.err.find("sim:"), std::string::npos) << name << ": " << result.err;
      }
    }
  }
}

}  // namespace
}  // namespace fp
