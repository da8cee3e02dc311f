#include "frontends/cli/chip_backup.h"

#include <cstdio>

#include "frontends/cli/system_texts.h"
#include "platform/posix/new_file.h"
#include "platform/posix/replaced_file.h"

namespace fp::cli {
namespace {

constexpr size_t RANGES_NAMED = 8;  // more go into a count: the file holds them all
constexpr int NAMES_TRIED = 1000;

std::string_view as_text(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string hex_digits(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return text;
}

// A word the shell passes on as it is: quoted when it holds anything else.
std::string shell_word(const std::string& word) {
  const bool plain = !word.empty() && word.find_first_not_of(
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                          "0123456789._/+-:,=@%") == std::string::npos;
  if (plain) return word;
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::optional<std::string> save_backup(const std::string& path, const std::vector<uint8_t>& bytes,
                                       bool english) {
  try {
    if (posix::write_new_file(path, as_text(bytes))) return std::nullopt;
    return path + (english ? ": the file exists; --backup never replaces a file"
                           : ": файл уже есть; --backup никогда не заменяет файл");
  } catch (const posix::FileError& error) {
    return failure_text(error.failure(), english);
  }
}

SavedRescue save_rescue(const std::string& image_path, const WriteRescue& rescue, bool english) {
  const std::string base = (image_path == "-" ? std::string("standard-input") : image_path) +
                           ".rescue-" + hex_digits(rescue.start) + "h";
  try {
    for (int attempt = 0; attempt < NAMES_TRIED; ++attempt) {
      const std::string path =
          base + (attempt == 0 ? std::string() : "." + std::to_string(attempt)) + ".bin";
      if (posix::write_new_file(path, as_text(rescue.old_bytes))) return {path, ""};
    }
    return {"", base + ".bin", true};
  } catch (const posix::FileError& error) {
    return {"", failure_text(error.failure(), english)};
  }
}

std::string rescue_text(const SavedRescue& saved, const WriteRescue& rescue,
                        const std::string& row_name, bool english) {
  const auto pick = [english](const std::string& english_text, const std::string& russian_text) {
    return english ? english_text : russian_text;
  };
  const uint32_t end = rescue.start + static_cast<uint32_t>(rescue.old_bytes.size());
  const std::string region = ranges_text({{rescue.start, end}});
  std::string text;
  if (saved.path.empty()) {
    const std::string why =
        !saved.names_taken ? saved.error
                           : saved.error + pick(": every name up to .", ": заняты все имена до .") +
                                 std::to_string(NAMES_TRIED - 1) + pick(" is taken", "");
    text = pick("the old bytes of " + region + " could not be saved (",
                "прежние байты " + region + " сохранить не удалось (") +
           why + ")";
  } else {
    // The length too: without it the slice would run to the end of the chip;
    // raw: old bytes that happen to read as records are still bytes.
    text = pick("the old bytes of " + region + " are saved in ",
                "прежние байты " + region + " сохранены в ") +
           saved.path + pick(" (to put them back: ", " (вернуть их: ") + "programmer write " +
           shell_word(saved.path) + " --chip " + shell_word(row_name) + " --chip-offset " +
           hex_digits(rescue.start) + " --length " +
           hex_digits(static_cast<uint32_t>(rescue.old_bytes.size())) + " --format raw --port ...)";
  }
  if (rescue.not_restored.empty()) {
    return text + pick("; outside the slice every byte is as it was",
                       "; вне среза каждый байт остался прежним");
  }
  uint64_t bytes = 0;
  for (const AddressRange& range : rescue.not_restored) bytes += range.end - range.start;
  std::vector<AddressRange> named(
      rescue.not_restored.begin(),
      rescue.not_restored.begin() +
          static_cast<std::ptrdiff_t>(std::min(RANGES_NAMED, rescue.not_restored.size())));
  const std::string count = std::to_string(bytes);
  text += english ? "; not restored (" + count + (bytes == 1 ? " byte): " : " bytes): ")
                  : "; не восстановлено (байтов: " + count + "): ";
  text += ranges_text(named);
  if (named.size() < rescue.not_restored.size()) {
    const std::string more = std::to_string(rescue.not_restored.size() - named.size());
    text += pick(" and " + more + " more ranges", " и ещё диапазонов: " + more);
  }
  return text;
}

}  // namespace fp::cli
