#include "frontends/cli/image_format.h"

#include <srecord/input/file/intel.h>
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
#include <regex>

#include "frontends/cli/system_texts.h"
#include "platform/posix/replaced_file.h"

// The Debian package ships the Motorola S-record reader in the library but
// not its header: its factory is all this program needs of it.
namespace srecord {
class input_file_motorola {
 public:
  static input::pointer create(const std::string& file_name);
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

// What the library's Intel HEX and S-record readers say of a bad file, in
// Russian; a reason not listed stays as the library words it.
struct LibraryReason {
  const char* english;  // a regular expression for the whole reason
  const char* russian;  // with $1, $2, ... for its parts
};
constexpr LibraryReason LIBRARY_REASONS[] = {
    {R"(checksum mismatch \(([0-9A-F]+) != ([0-9A-F]+)\))",
     "контрольная сумма не сходится ($1 != $2)"},
    {"hexadecimal digit expected", "ожидалась шестнадцатеричная цифра"},
    {"premature end-of-file", "файл кончается раньше времени"},
    {"record type not recognised", "тип записи не распознан"},
    {"(?:EOF data )?length field must be zero", "поле длины должно быть нулевым"},
    {"length field must be ([0-9]+)", "поле длины должно быть равно $1"},
    {"address field must be zero", "поле адреса должно быть нулевым"},
    {"end-of-file record's address field should be zero, not (0x[0-9A-F]+)",
     "поле адреса записи конца файла должно быть нулевым, а не $1"},
    {"redundant execution start address record", "лишняя запись адреса запуска"},
    {"no end-of-file record", "нет записи конца файла"},
    {"line too long", "слишком длинная строка"},
    {"line length invalid", "недопустимая длина строки"},
    {"invalid record length", "недопустимая длина записи"},
    {"record format error", "ошибка формата записи"},
    {R"(data length too short \(([0-9]+) < ([0-9]+)\) for data type \(([0-9a-f]+)\))",
     "длина данных слишком мала ($1 < $2) для типа записи ($3)"},
    {R"(data record count mismatch \(file ([0-9]+), read ([0-9]+)\))",
     "число записей данных не сходится (в файле $1, прочитано $2)"},
    {"no header record", "нет записи заголовка"},
    {"address in header record ignored", "адрес в записи заголовка не учтён"},
    {"data in termination record ignored", "данные в завершающей записи не учтены"},
    {"empty data record ignored", "пустая запись данных не учтена"},
};

// "FILE: LINE: REASON" with the reason in Russian where it is known.
std::string russian_library_text(const std::string& text) {
  static const std::regex line_and_reason("^(.*?: [0-9]+: )(warning: )?(.*)$");
  std::smatch parts;
  if (!std::regex_match(text, parts, line_and_reason)) return text;
  const std::string reason = parts[3].str();
  for (const LibraryReason& known : LIBRARY_REASONS) {
    const std::regex pattern(known.english);
    if (!std::regex_match(reason, pattern)) continue;
    return parts[1].str() + (parts[2].matched ? "предупреждение: " : "") +
           std::regex_replace(reason, pattern, known.russian);
  }
  return text;
}

// The library reports a bad file through its quit object; this one turns
// the report into an exception instead of ending the process.
class ThrowingQuit final : public srecord::quit {
 public:
  explicit ThrowingQuit(bool english) : english_(english) {}
  void message_v(const char* format, va_list arguments) override {
    char line[512];
    std::vsnprintf(line, sizeof line, format, arguments);
    if (text_.empty()) text_ = english_ ? std::string(line) : russian_library_text(line);
  }
  void exit(int) override {
    if (!text_.empty()) throw ImageError(text_);
    throw ImageError(english_ ? "bad record file" : "испорченный файл записей");
  }
  // What the library would only warn about (lines it cannot read) could be
  // data: a programmer refuses the file rather than guess.
  void warning_v(const char* format, va_list arguments) override {
    message_v(format, arguments);
    exit(1);
  }

 private:
  bool english_;
  std::string text_;
};

std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%Xh", value);
  return text;
}

// What the lines of a record file say before the library reads its records.
struct LineScan {
  size_t lines = 0;
  std::optional<size_t> end_record;  // the line of the first end record
  std::optional<size_t> after_end;   // the first record line after it
};

bool is_end_record(std::string_view record, ImageFormat format) {
  if (format == ImageFormat::intel_hex) return record.size() >= 9 && record.substr(7, 2) == "01";
  return record.size() >= 2 && (record[1] == '7' || record[1] == '8' || record[1] == '9');
}

// Lines that are no records are a damaged file, not something to skip; reading
// stops at the limits, so an endless file is refused without filling memory.
LineScan scan_lines(const std::string& path, ImageFormat format, bool english) {
  std::ifstream input(path, std::ios::binary);
  if (!input) throw ImageError(path + (english ? ": cannot be read" : ": не читается"));
  const char mark = format == ImageFormat::intel_hex ? ':' : 'S';
  LineScan scan;
  uint64_t total = 0;
  std::string line;
  std::streambuf& bytes = *input.rdbuf();
  const auto judge = [&] {
    ++scan.lines;
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return;
    if (line[first] != mark) {
      throw ImageError(path + ": " + std::to_string(scan.lines) +
                       (english ? ": not a record" : ": не запись"));
    }
    if (scan.end_record) {
      if (!scan.after_end) scan.after_end = scan.lines;
    } else if (is_end_record(std::string_view(line).substr(first), format)) {
      scan.end_record = scan.lines;
    }
  };
  for (int c = bytes.sbumpc(); c != std::char_traits<char>::eof(); c = bytes.sbumpc()) {
    if (++total > RECORD_FILE_LIMIT) {
      throw ImageError(path + (english ? ": larger than any record file of a chip"
                                       : ": больше любого файла записей для микросхемы"));
    }
    if (c == '\n') {
      judge();
      line.clear();
    } else if (line.size() == RECORD_LINE_LIMIT) {
      throw ImageError(
          path + ": " + std::to_string(scan.lines + 1) +
          (english ? ": too long for a record" : ": слишком длинная для записи строка"));
    } else {
      line += static_cast<char>(c);
    }
  }
  if (!line.empty()) judge();
  return scan;
}

// Records as long as other tools write them.
constexpr size_t RECORD_BYTES = 32;

// Writes the records into memory. The library's writer ends the process when
// a write fails (a full disk, a size limit), so the program writes records
// itself and reports its own failures.
class RecordWriter {
 public:
  RecordWriter(ImageFormat format, int address_bytes)
      : intel_(format == ImageFormat::intel_hex), address_bytes_(address_bytes) {}

  void header(const std::vector<uint8_t>& bytes) {
    if (!intel_) srecord('0', 2, 0, bytes);
  }
  void data(uint32_t address, const std::vector<uint8_t>& bytes) {
    if (intel_) {
      if (address >> 16 != upper_) {
        upper_ = address >> 16;
        intel(4, 0, {static_cast<uint8_t>(upper_ >> 8), static_cast<uint8_t>(upper_)});
      }
      intel(0, address & 0xFFFF, bytes);
    } else {
      srecord(static_cast<char>('0' + address_bytes_ - 1), address_bytes_, address, bytes);
      ++data_records_;
    }
  }
  void end(std::optional<uint32_t> start_address) {
    if (intel_) {
      if (start_address) {
        const uint32_t start = *start_address;
        intel(5, 0,
              {static_cast<uint8_t>(start >> 24), static_cast<uint8_t>(start >> 16),
               static_cast<uint8_t>(start >> 8), static_cast<uint8_t>(start)});
      }
      intel(1, 0, {});
      return;
    }
    // The count of data records, then the end record of the data's width.
    if (data_records_ <= 0xFFFF) {
      srecord('5', 2, data_records_, {});
    } else if (data_records_ <= 0xFFFFFF) {
      srecord('6', 3, data_records_, {});
    }
    srecord(static_cast<char>('0' + 11 - address_bytes_), address_bytes_, start_address.value_or(0),
            {});
  }
  [[nodiscard]] const std::string& text() const { return text_; }

 private:
  void byte(uint8_t value) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    text_ += DIGITS[value >> 4];
    text_ += DIGITS[value & 0xF];
  }
  void intel(uint8_t type, uint32_t address, const std::vector<uint8_t>& bytes) {
    text_ += ':';
    const uint8_t sum =
        line({static_cast<uint8_t>(bytes.size()), static_cast<uint8_t>(address >> 8),
              static_cast<uint8_t>(address), type},
             bytes);
    byte(static_cast<uint8_t>(-sum));
    text_ += '\n';
  }
  void srecord(char type, int width, uint32_t address, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> head{static_cast<uint8_t>(width + bytes.size() + 1)};
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) {
      head.push_back(static_cast<uint8_t>(address >> shift));
    }
    text_ += 'S';
    text_ += type;
    byte(static_cast<uint8_t>(~line(head, bytes)));
    text_ += '\n';
  }
  // Writes the bytes of a record; their sum, for its checksum.
  uint8_t line(const std::vector<uint8_t>& head, const std::vector<uint8_t>& bytes) {
    uint8_t sum = 0;
    for (const auto* part : {&head, &bytes}) {
      for (const uint8_t value : *part) {
        byte(value);
        sum = static_cast<uint8_t>(sum + value);
      }
    }
    return sum;
  }

  bool intel_;
  int address_bytes_;
  uint32_t upper_ = 0;
  uint32_t data_records_ = 0;
  std::string text_;
};

int address_bytes(const std::string& path, const RecordImage& image) {
  const std::string extension = lower(std::filesystem::path(path).extension().string());
  int bytes = extension == ".s37" ? 4 : extension == ".s28" ? 3 : 2;
  // One width for the whole file, wide enough for its highest address, so
  // that its end record matches every data record.
  const uint64_t highest = std::max<uint64_t>(image.end(), image.kept.start_address.value_or(0));
  if (highest > 0x10000) bytes = std::max(bytes, 3);
  if (highest > 0x1000000) bytes = 4;
  return bytes;
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

std::optional<uint32_t> RecordImage::first_in(uint64_t from, uint64_t to) const {
  if (from > UINT32_MAX) return std::nullopt;
  const auto found = bytes_.lower_bound(static_cast<uint32_t>(from));
  if (found == bytes_.end() || found->first >= to) return std::nullopt;
  return found->first;
}

std::vector<uint8_t> RecordImage::raw(uint32_t start, uint32_t count) const {
  std::vector<uint8_t> out(count, 0xFF);
  for (auto held = bytes_.lower_bound(start);
       held != bytes_.end() && held->first - uint64_t{start} < count; ++held) {
    out[held->first - start] = held->second;
  }
  return out;
}

RecordImage read_record_file(const std::string& path, ImageFormat format, bool english) {
  // The library cannot report a file it fails to open without ending the
  // process, so the file is tried first.
  if (FILE* probe = std::fopen(path.c_str(), "r")) {
    std::fclose(probe);
  } else {
    throw ImageError(path + ": " + error_text(errno, english));
  }
  const LineScan scan = scan_lines(path, format, english);
  RecordImage image;
  if (scan.lines == 0) return image;
  ThrowingQuit quit(english);
  srecord::input::pointer input = format == ImageFormat::intel_hex
                                      ? srecord::input_file_intel::create(path)
                                      : srecord::input_file_motorola::create(path);
  input->set_quit(quit);
  srecord::record record;
  try {
    while (input->read(record)) {
      if (record.get_type() == srecord::record::type_header) {
        image.kept.header.emplace(record.get_data(), record.get_data() + record.get_length());
        continue;
      }
      if (record.get_type() == srecord::record::type_execution_start_address) {
        image.kept.start_address = static_cast<uint32_t>(record.get_address());
        continue;
      }
      if (record.get_type() != srecord::record::type_data) continue;
      const uint64_t start = record.get_address();
      if (start + record.get_length() > uint64_t{1} << 32) {
        const std::string at = hex(static_cast<uint32_t>(start));
        throw ImageError(path + (english
                                     ? ": data at " + at + " runs past 32 bits of address"
                                     : ": данные с адреса " + at + " выходят за 32 бита адреса"));
      }
      for (size_t i = 0; i < record.get_length(); ++i) {
        const auto address = static_cast<uint32_t>(start + i);
        const auto value = static_cast<uint8_t>(record.get_data(i));
        if (image.has(address) && image.at(address) != value) {
          throw ImageError(
              path + (english ? ": address " + hex(address) + " is given twice, with different data"
                              : ": адрес " + hex(address) + " задан дважды, с разными данными"));
        }
        image.set(address, value);
      }
    }
  } catch (const ImageError& error) {
    const std::string message = error.what();
    throw ImageError(message.rfind(path, 0) == 0 ? message : path + ": " + message);
  }
  // A file cut short (a copy that failed, a download that stopped) must never
  // reach a chip with its missing rest as erased bytes.
  const bool intel = format == ImageFormat::intel_hex;
  if (!scan.end_record) {
    const char* end_name = intel ? "end-of-file record (type 01)" : "end record (S7, S8 or S9)";
    throw ImageError(
        path + ": " + std::to_string(scan.lines) +
        (english
             ? std::string(": the file ends without its ") + end_name + ": cut short?"
             : std::string(": файл кончается без ") +
                   (intel ? "записи конца файла (тип 01)" : "завершающей записи (S7, S8 или S9)") +
                   ": обрезан?"));
  }
  if (scan.after_end) {
    const char* end_name = intel ? "end-of-file record (type 01)" : "end record (S7, S8 or S9)";
    throw ImageError(path + ": " + std::to_string(*scan.after_end) +
                     (english ? std::string(": a record after the ") + end_name
                              : std::string(": запись после ") +
                                    (intel ? "записи конца файла (тип 01)"
                                           : "завершающей записи (S7, S8 или S9)")));
  }
  return image;
}

std::string record_text(const std::string& path, ImageFormat format, const RecordImage& image) {
  RecordWriter writer(format, address_bytes(path, image));
  writer.header(image.kept.header.value_or(std::vector<uint8_t>{}));
  const auto& bytes = image.bytes();
  for (auto held = bytes.begin(); held != bytes.end();) {
    const uint32_t first = held->first;
    std::vector<uint8_t> run;
    // A record ends with its run, after RECORD_BYTES, and at a 64 KiB line.
    uint64_t next = first;
    do {
      run.push_back(held->second);
      ++held;
      ++next;
    } while (held != bytes.end() && held->first == next && run.size() < RECORD_BYTES &&
             (next & 0xFFFF) != 0);
    writer.data(first, run);
  }
  writer.end(image.kept.start_address);
  return writer.text();
}

void write_record_file(const std::string& path, ImageFormat format, const RecordImage& image,
                       bool english) {
  const posix::DeferredSignals signals_wait;
  try {
    posix::ReplacedFile file(path, posix::HoldRules{});
    RecordImage merged;
    if (file.existed()) merged = read_record_file(file.target(), format, english);
    if (merged.empty() && !merged.kept.header && !merged.kept.start_address) {
      merged = image;
    } else {
      for (const auto& [address, value] : image.bytes()) merged.set(address, value);
    }
    if (image.kept.header) merged.kept.header = image.kept.header;
    if (image.kept.start_address) merged.kept.start_address = image.kept.start_address;
    file.replace(record_text(path, format, merged));
  } catch (const posix::FileError& error) {
    throw ImageError(failure_text(error.failure(), english));
  }
}

void write_fresh_file(const std::string& path, std::string_view content, bool english) {
  const posix::DeferredSignals signals_wait;
  try {
    posix::ReplacedFile file(path, posix::HoldRules{});
    file.replace(content);
  } catch (const posix::FileError& error) {
    throw ImageError(failure_text(error.failure(), english));
  }
}

}  // namespace fp::cli
