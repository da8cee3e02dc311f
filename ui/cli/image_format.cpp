#include "ui/cli/image_format.h"

#include <srecord/input/file/intel.h>
#include <srecord/output/file/intel.h>
#include <srecord/quit.h>
#include <srecord/record.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

// The Debian package ships the Motorola S-record classes in the library but
// not their headers: their factories are all this program needs of them.
namespace srecord {
class input_file_motorola {
 public:
  static input::pointer create(const std::string& file_name);
};
class output_file_motorola {
 public:
  static output::pointer create(const std::string& file_name);
};
}  // namespace srecord

namespace fp::cli {
namespace {

std::string lower(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

// The library reports a bad file through its quit object; this one turns
// the report into an exception instead of ending the process.
class ThrowingQuit final : public srecord::quit {
 public:
  void message_v(const char* format, va_list arguments) override {
    char line[512];
    std::vsnprintf(line, sizeof line, format, arguments);
    if (text_.empty()) text_ = line;
  }
  void exit(int) override { throw ImageError(text_.empty() ? "bad record file" : text_); }
  // What the library would only warn about (lines it cannot read) could be
  // data: a programmer refuses the file rather than guess.
  void warning_v(const char* format, va_list arguments) override {
    message_v(format, arguments);
    exit(1);
  }

 private:
  std::string text_;
};

std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%Xh", value);
  return text;
}

}  // namespace

std::optional<ImageFormat> format_by_name(std::string_view name) {
  if (name == "raw") return ImageFormat::raw;
  if (name == "hex") return ImageFormat::intel_hex;
  if (name == "srec") return ImageFormat::motorola;
  return std::nullopt;
}

ImageFormat format_for_path(std::string_view path) {
  const std::string extension = lower(std::filesystem::path(path).extension().string());
  if (extension == ".hex" || extension == ".ihx") return ImageFormat::intel_hex;
  if (extension == ".s19" || extension == ".s28" || extension == ".s37" || extension == ".srec") {
    return ImageFormat::motorola;
  }
  return ImageFormat::raw;
}

void RecordImage::set(uint32_t address, uint8_t value) {
  if (address >= bytes_.size()) {
    bytes_.resize(address + 1, 0xFF);
    present_.resize(address + 1, false);
  }
  if (!present_[address]) ++held_;
  present_[address] = true;
  bytes_[address] = value;
}

std::optional<uint32_t> RecordImage::first_in(uint32_t from, uint32_t to) const {
  to = std::min(to, end());
  for (uint32_t address = from; address < to; ++address) {
    if (present_[address]) return address;
  }
  return std::nullopt;
}

std::vector<uint8_t> RecordImage::raw(uint32_t start, uint32_t count) const {
  std::vector<uint8_t> out(count, 0xFF);
  for (uint32_t i = 0; i < count; ++i) {
    if (has(start + i)) out[i] = bytes_[start + i];
  }
  return out;
}

RecordImage read_record_file(const std::string& path, ImageFormat format) {
  // The library cannot report a file it fails to open without ending the
  // process, so the file is tried first.
  if (FILE* probe = std::fopen(path.c_str(), "r")) {
    std::fclose(probe);
  } else {
    throw ImageError(path + ": " + std::strerror(errno));
  }
  // The reader passes over lines that are no records; in an image they are
  // a damaged file, not something to skip.
  {
    std::ifstream lines(path);
    const char mark = format == ImageFormat::intel_hex ? ':' : 'S';
    size_t number = 0;
    for (std::string line; std::getline(lines, line);) {
      ++number;
      const size_t first = line.find_first_not_of(" \t\r");
      if (first != std::string::npos && line[first] != mark) {
        throw ImageError(path + ": " + std::to_string(number) + ": not a record");
      }
    }
  }
  ThrowingQuit quit;
  srecord::input::pointer input = format == ImageFormat::intel_hex
                                      ? srecord::input_file_intel::create(path)
                                      : srecord::input_file_motorola::create(path);
  input->set_quit(quit);
  RecordImage image;
  srecord::record record;
  try {
    while (input->read(record)) {
      if (record.get_type() != srecord::record::type_data) continue;
      const uint64_t start = record.get_address();
      if (start + record.get_length() > RecordImage::ADDRESS_LIMIT) {
        throw ImageError(path + ": data at " + hex(static_cast<uint32_t>(start)) +
                         " lies beyond any chip");
      }
      for (size_t i = 0; i < record.get_length(); ++i) {
        const auto address = static_cast<uint32_t>(start + i);
        const auto value = static_cast<uint8_t>(record.get_data(i));
        if (image.has(address) && image.at(address) != value) {
          throw ImageError(path + ": address " + hex(address) + " is given twice, with " +
                           "different data");
        }
        image.set(address, value);
      }
    }
  } catch (const ImageError& error) {
    const std::string message = error.what();
    throw ImageError(message.rfind(path, 0) == 0 ? message : path + ": " + message);
  }
  return image;
}

void write_record_file(const std::string& path, ImageFormat format, const RecordImage& image) {
  const std::string fresh = path + ".new";
  {
    std::FILE* probe = std::fopen(fresh.c_str(), "w");
    if (probe == nullptr) throw ImageError(fresh + ": " + std::strerror(errno));
    std::fclose(probe);
  }
  {
    srecord::output::pointer output = format == ImageFormat::intel_hex
                                          ? srecord::output_file_intel::create(fresh)
                                          : srecord::output_file_motorola::create(fresh);
    const std::string extension = lower(std::filesystem::path(path).extension().string());
    if (extension == ".s28") output->address_length_set(3);
    if (extension == ".s37") output->address_length_set(4);
    uint32_t address = 0;
    while (address < image.end()) {
      if (!image.has(address)) {
        ++address;
        continue;
      }
      uint32_t run_end = address;
      std::vector<uint8_t> run;
      while (run_end < image.end() && image.has(run_end)) run.push_back(image.at(run_end++));
      output->write_data(address, run.data(), run.size());
      address = run_end;
    }
  }
  std::error_code error;
  std::filesystem::rename(fresh, path, error);
  if (error) {
    std::remove(fresh.c_str());
    throw ImageError(path + ": " + error.message());
  }
}

}  // namespace fp::cli
