#include "frontends/cli/image_staging.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "frontends/cli/hex_number.h"
#include "frontends/cli/system_texts.h"
#include "platform/image_file.h"
#include "platform/posix/replaced_file.h"
#include "platform/utf8.h"
#include "ui/texts.h"

namespace fp::cli {
namespace {

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool is_record_line(std::string_view line, char mark) {
  if (line.empty() || line[0] != mark) return false;
  if (mark == 'S' && (line.size() < 2 || line[1] < '0' || line[1] > '9')) return false;
  return std::all_of(line.begin() + 1, line.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// A temporary image file; its failures read as the image's.
std::unique_ptr<posix::AnonymousFile> anonymous_file(bool english) {
  try {
    return std::make_unique<posix::AnonymousFile>();
  } catch (const posix::FileError& error) {
    throw ImageError(failure_text(error.failure(), english));
  }
}

}  // namespace

std::optional<std::vector<uint8_t>> image_file_bytes(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    errno = EISDIR;
    return std::nullopt;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes.insert(bytes.end(), block, block + got);
    if (bytes.size() > RECORD_FILE_LIMIT) {
      std::fclose(file);
      errno = EFBIG;
      return std::nullopt;
    }
  }
  const bool failed = std::ferror(file) != 0;
  const int reason = errno;
  std::fclose(file);
  if (!failed) return bytes;
  errno = reason;
  return std::nullopt;
}

std::optional<ImageFormat> format_by_content(const std::vector<uint8_t>& bytes) {
  std::optional<ImageFormat> found;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n') ++end;
    std::string_view line(reinterpret_cast<const char*>(bytes.data()) + start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    start = end + 1;
    if (line.empty()) continue;
    const ImageFormat kind = line[0] == ':' ? ImageFormat::intel_hex : ImageFormat::motorola;
    if (!is_record_line(line, kind == ImageFormat::intel_hex ? ':' : 'S')) return std::nullopt;
    if (found && *found != kind) return std::nullopt;
    found = kind;
  }
  return found;
}

ImageFormat ImageStaging::image_format(const std::vector<uint8_t>& bytes) const {
  if (checked_.format) return *checked_.format;
  if (const auto by_content = format_by_content(bytes)) return *by_content;
  // A file named as records that holds none is a damaged record file.
  return from_standard_stream() ? ImageFormat::raw : format_for_path(options_.file);
}

bool ImageStaging::read_standard_input(RunOutcome& outcome) {
  if (!from_standard_stream() || options_.command == Command::read) return true;
  std::istream& in = console_.in();
  std::vector<uint8_t> bytes;
  std::streambuf& input = *in.rdbuf();
  for (int c = input.sbumpc(); c != std::char_traits<char>::eof(); c = input.sbumpc()) {
    if (bytes.size() == RECORD_FILE_LIMIT) {
      outcome.fail(console_.pick("standard input: more than any image holds",
                                 "стандартный ввод: больше, чем вмещает любой образ"));
      return false;
    }
    bytes.push_back(static_cast<uint8_t>(c));
  }
  if (in.bad()) {
    outcome.fail(console_.pick("standard input: cannot be read", "стандартный ввод: не читается"));
    return false;
  }
  standard_input_ = std::move(bytes);
  return true;
}

std::optional<std::vector<uint8_t>> ImageStaging::input_bytes(RunOutcome& outcome) {
  if (from_standard_stream()) return standard_input_;
  auto bytes = image_file_bytes(options_.file);
  if (!bytes) {
    const std::string why = error_text(errno, console_.english());
    console_.error(text::FILE_READ_ERROR);
    outcome.fail(options_.file + ": " + why);
  }
  return bytes;
}

RecordImage ImageStaging::records(const std::vector<uint8_t>& bytes, ImageFormat format) {
  if (!from_standard_stream()) return read_record_file(options_.file, format, console_.english());
  // The record reader takes a file name.
  const auto copy_file = anonymous_file(console_.english());
  const posix::AnonymousFile& copy = *copy_file;
  if (!write_bytes(copy.path(), bytes)) {
    throw ImageError(console_.pick("cannot write ", "не удаётся записать ") + copy.path());
  }
  try {
    return read_record_file(copy.path(), format, console_.english());
  } catch (const ImageError& error) {
    std::string message = error.what();
    if (message.rfind(copy.path(), 0) == 0)
      message.replace(0, copy.path().size(), standard_input_name());
    throw ImageError(message);
  }
}

std::optional<ImageSlice> ImageStaging::load_slice(const ProgrammerContext& context,
                                                   RunOutcome& outcome) {
  const auto bytes = input_bytes(outcome);
  if (!bytes) return std::nullopt;
  const ImageFormat format = image_format(*bytes);
  if (format == ImageFormat::raw) return raw_slice(*bytes, checked_.slice_length(), outcome);
  try {
    return record_slice(records(*bytes, format), context, outcome);
  } catch (const ImageError& error) {
    outcome.fail(error.what());
    return std::nullopt;
  }
}

std::optional<ImageSlice> ImageStaging::raw_slice(const std::vector<uint8_t>& bytes,
                                                  uint32_t length, RunOutcome& outcome) {
  const std::string name = from_standard_stream() ? standard_input_name() : options_.file;
  const uint64_t size = bytes.size();
  const uint64_t offset = checked_.file_offset;
  if (!checked_.length && size != offset + length) {
    const std::string from = offset == 0
                                 ? ""
                                 : console_.pick(" (from --file-offset ", " (от --file-offset ") +
                                       hex(checked_.file_offset) + console_.pick(" on)", ")");
    outcome.usage(name + ": " + hex(static_cast<uint32_t>(size)) +
                  console_.pick(" bytes", " байтов") + from +
                  console_.pick(", but the slice is ", ", а срез — ") + hex(length) +
                  console_.pick(" bytes; give --length to take part of the file",
                                " байтов; --length берёт часть файла"));
    return std::nullopt;
  }
  if (size < offset + length) {
    outcome.usage(name + ": " + hex(static_cast<uint32_t>(size)) +
                  console_.pick(" bytes, too short for ", " байтов, мало для ") + hex(length) +
                  console_.pick(" bytes from --file-offset ", " байтов от --file-offset ") +
                  hex(checked_.file_offset));
    return std::nullopt;
  }
  ImageSlice slice;
  slice.start = checked_.chip_offset;
  slice.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                     bytes.begin() + static_cast<std::ptrdiff_t>(offset + length));
  slice.held.assign(length, true);
  return slice;
}

std::optional<ImageSlice> ImageStaging::record_slice(const RecordImage& image,
                                                     const ProgrammerContext& context,
                                                     RunOutcome& outcome) {
  const std::string name = from_standard_stream() ? standard_input_name() : options_.file;
  if (image.empty()) {
    outcome.fail(name + console_.pick(": holds no data", ": нет данных"));
    return std::nullopt;
  }
  // File address a holds chip byte a - file offset + chip offset.
  const uint32_t file_offset = checked_.file_offset;
  const uint32_t chip_offset = checked_.chip_offset;
  const uint64_t chip_start = file_offset > chip_offset ? file_offset - chip_offset : 0;
  const uint64_t chip_end = uint64_t{file_offset} + context.chip_size - chip_offset;
  const auto below = image.first_in(0, chip_start);
  const auto above = image.first_in(chip_end, image.end());
  if (below || above) {
    outcome.fail(name + console_.pick(": data at ", ": данные по адресу ") +
                 hex(below ? *below : *above) +
                 console_.pick(" lies outside the chip (", " лежат вне микросхемы (") +
                 to_utf8(context.current_chip->name) + ", " + hex(context.chip_size) +
                 console_.pick(" bytes)", " байтов)"));
    return std::nullopt;
  }
  const uint32_t length = checked_.slice_length();
  ImageSlice slice;
  slice.start = chip_offset;
  slice.bytes = image.raw(file_offset, length);
  slice.held.resize(length);
  bool any = false;
  for (uint32_t i = 0; i < length; ++i) {
    slice.held[i] = image.has(file_offset + i);
    any = any || slice.held[i];
  }
  if (!any) {
    outcome.fail(name +
                 console_.pick(": holds no data for the slice (file addresses ",
                               ": нет данных для среза (адреса в файле ") +
                 hex(file_offset) + "-" + hex(file_offset + length - 1) + ")");
    return std::nullopt;
  }
  return slice;
}

void ImageStaging::prepare_read() {
  std::error_code missing;
  const bool exists = !from_standard_stream() && std::filesystem::exists(options_.file, missing);
  const auto existing = exists ? image_file_bytes(options_.file) : std::nullopt;
  read_format_ = image_format(existing.value_or(std::vector<uint8_t>{}));
  // Without a slice the file is the chip: an old dump's tail or old records
  // would outlive the read. A device or a pipe is written as it is.
  const bool whole_chip = !options_.file_offset && !options_.chip_offset && !options_.length;
  const posix::FileKind kind =
      from_standard_stream() ? posix::FileKind::other : posix::file_facts(options_.file).kind;
  fresh_read_ =
      whole_chip && (kind == posix::FileKind::missing || kind == posix::FileKind::regular);
}

bool ImageStaging::save_read(const std::vector<uint8_t>& bytes, RunOutcome& outcome) {
  const auto text_of = [&bytes] {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  };
  const auto to_output = [&](std::string_view data) {
    console_.out().write(data.data(), static_cast<std::streamsize>(data.size()));
    console_.out().flush();
    if (console_.out()) return true;
    outcome.fail(
        console_.pick("standard output: cannot be written", "стандартный вывод: не записывается"));
    return false;
  };
  const auto write_error = [&](std::string_view why) {
    console_.error(text::FILE_WRITE_ERROR);
    outcome.fail(why);
    return false;
  };
  try {
    if (read_format_ == ImageFormat::raw) {
      if (from_standard_stream()) return to_output(text_of());
      if (fresh_read_) {
        write_fresh_file(options_.file, text_of(), console_.english());
        return true;
      }
      // Into the file at the file offset; the bytes around the slice stay.
      if (save_image(path_from_bytes(options_.file), bytes.data(), checked_.file_offset,
                     static_cast<uint32_t>(bytes.size())) != 0) {
        return write_error("");
      }
      return true;
    }
    RecordImage slice;
    for (uint32_t i = 0; i < bytes.size(); ++i) slice.set(checked_.file_offset + i, bytes[i]);
    if (from_standard_stream()) return to_output(record_text(options_.file, read_format_, slice));
    if (fresh_read_) {
      // A file named as records that holds something else is no old image
      // of the chip: it is refused, not overwritten.
      std::error_code error;
      if (std::filesystem::file_size(options_.file, error) > 0 && !error)
        static_cast<void>(read_record_file(options_.file, read_format_, console_.english()));
      write_fresh_file(options_.file, record_text(options_.file, read_format_, slice),
                       console_.english());
      return true;
    }
    // The slice goes into the records already there, as into a raw file;
    // they are read again under the file's lock.
    write_record_file(options_.file, read_format_, slice, console_.english());
    return true;
  } catch (const ImageError& error) {
    return write_error(error.what());
  }
}

}  // namespace fp::cli
