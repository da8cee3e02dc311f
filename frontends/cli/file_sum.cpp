#include "frontends/cli/file_sum.h"

#include <cerrno>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "frontends/cli/checksum.h"
#include "frontends/cli/chip_choice.h"
#include "frontends/cli/exit_status.h"
#include "frontends/cli/hex_number.h"
#include "frontends/cli/image_format.h"
#include "frontends/cli/image_staging.h"
#include "frontends/cli/system_texts.h"

namespace fp::cli {
namespace {

// The whole file, or standard input for "-".
std::optional<std::vector<uint8_t>> whole_file(const std::string& path, std::istream& in) {
  if (path == "-") return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  return image_file_bytes(path);
}

}  // namespace

int run_sum(const CliOptions& options, Console& console) {
  const auto usage = [&](const std::string& why) {
    console.note(why);
    return EXIT_USAGE_STATUS;
  };
  uint32_t numbers[2] = {0, 0};
  const std::optional<std::string>* texts[2] = {&options.file_offset, &options.chip_offset};
  const char* names[2] = {"--file-offset", "--chip-offset"};
  for (int i = 0; i < 2; ++i) {
    if (!*texts[i]) continue;
    const auto value = parse_free_hex(**texts[i]);
    if (!value) {
      return usage(std::string(names[i]) + " " + **texts[i] +
                   console.pick(": not a hexadecimal number", ": не шестнадцатеричное число"));
    }
    numbers[i] = *value;
  }
  const uint32_t file_offset = numbers[0];
  const uint32_t chip_offset = numbers[1];
  std::optional<uint32_t> length;
  if (options.length) {
    length = parse_free_hex(*options.length);
    if (!length || *length == 0) {
      return usage("--length " + *options.length +
                   console.pick(": not a byte count", ": не число байтов"));
    }
  }
  if (!options.chip.empty() && !length) {
    const auto found = find_row(options.chip, console.english());
    if (const auto* why = std::get_if<std::string>(&found)) return usage(*why);
    const uint32_t size = std::get<const ChipDescriptor*>(found)->size;
    if (chip_offset >= size) {
      return usage("--chip-offset " + hex(chip_offset) +
                   console.pick(": past the chip's end", ": за концом микросхемы"));
    }
    length = size - chip_offset;
  }
  errno = 0;
  const auto bytes = whole_file(options.file, console.in());
  if (!bytes) {
    const int error = errno;
    console.note(options.file + (error != 0 ? ": " + error_text(error, console.english())
                                            : console.pick(": cannot be read", ": не читается")));
    return EXIT_FAILURE_STATUS;
  }
  ImageFormat format = ImageFormat::raw;
  if (!options.format.empty()) {
    format = *format_by_name(options.format);
  } else if (const auto by_content = format_by_content(*bytes)) {
    format = *by_content;
  }
  std::vector<uint8_t> slice;
  if (format == ImageFormat::raw) {
    const uint64_t end = length ? uint64_t{file_offset} + *length : bytes->size();
    if (end > bytes->size() || file_offset > bytes->size()) {
      console.note(options.file + ": " + hex(static_cast<uint32_t>(bytes->size())) +
                   std::string(console.pick(" bytes, too short for the slice",
                                            " байтов, мало для этой части")));
      return EXIT_FAILURE_STATUS;
    }
    slice.assign(bytes->begin() + file_offset, bytes->begin() + static_cast<std::ptrdiff_t>(end));
  } else {
    try {
      if (options.file == "-") {
        return usage(
            std::string(console.pick("sum -: records are summed from a file: give its name",
                                     "sum -: записи суммируются из файла: укажите его имя")));
      }
      const RecordImage image = read_record_file(options.file, format, console.english());
      const uint64_t end = length ? uint64_t{file_offset} + *length : image.end();
      if (image.empty() || end <= file_offset) {
        console.note(options.file + std::string(console.pick(": holds no data for the slice",
                                                             ": нет данных для этой части")));
        return EXIT_FAILURE_STATUS;
      }
      slice = image.raw(file_offset, static_cast<uint32_t>(end - file_offset));
    } catch (const ImageError& error) {
      console.note(error.what());
      return EXIT_FAILURE_STATUS;
    }
  }
  console.out() << checksum_text(checksum(slice)) << '\n';
  return EXIT_SUCCESS_STATUS;
}

}  // namespace fp::cli
