#include "frontends/cli/run_log.h"

#include <cstdio>

#include "frontends/cli/system_texts.h"

namespace fp::cli {
namespace {

std::string value(const std::string& text) {
  if (text.empty()) return "-";
  bool plain = true;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte == '"' || byte == '\\' || byte == 0x7F || c == '=') plain = false;
  }
  if (plain) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < ' ' || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

}  // namespace

std::string run_log_text(const RunLogLine& line) {
  std::tm utc{};
  gmtime_r(&line.time, &utc);
  char time[32];
  std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%SZ", &utc);
  char crc[16] = "-";
  if (line.crc32) std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(*line.crc32));
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(line.board_time_us) / 1e6);
  return std::string(time) + " port=" + value(line.port) + " row=" + value(line.row) +
         " id=" + value(line.id) + " op=" + value(line.operation) + " file=" + value(line.file) +
         " crc32=" + crc + " result=" + value(line.result) + " board_time=" + seconds +
         " exit=" + std::to_string(line.exit_status) + "\n";
}

std::optional<std::string> RunLogFile::open(const std::string& path, bool english) {
  english_ = english;
  if (const auto failure = file_.open(path)) return "--log " + failure_text(*failure, english_);
  return std::nullopt;
}

std::optional<std::string> RunLogFile::append(const std::string& text) {
  if (const auto failure = file_.append(text)) return "--log " + failure_text(*failure, english_);
  return std::nullopt;
}

}  // namespace fp::cli
