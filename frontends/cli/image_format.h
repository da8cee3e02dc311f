// Image files in the record formats (Intel HEX, Motorola S-record), read
// through the srecord library and written by the program, and the raw images
// the main window moves between file and chip.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fp::cli {

enum class ImageFormat { raw, intel_hex, motorola };

// "raw", "hex", "srec"; nothing for another name.
std::optional<ImageFormat> format_by_name(std::string_view name);
// By the extension: .hex .ihx: Intel HEX; .s19 .s28 .s37 .srec: S-record; else raw.
ImageFormat format_for_path(std::string_view path);

class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The records of a file that hold no data; the program keeps them as they are.
struct KeptRecords {
  std::optional<std::vector<uint8_t>> header;  // S0
  std::optional<uint32_t> start_address;       // Intel HEX 03 or 05; S7, S8, S9
};

// The bytes a record file holds, by address; the addresses it leaves out are absent.
class RecordImage {
 public:
  KeptRecords kept;

  void set(uint32_t address, uint8_t value) { bytes_[address] = value; }
  [[nodiscard]] bool has(uint32_t address) const { return bytes_.contains(address); }
  // 0xFF where nothing is held.
  [[nodiscard]] uint8_t at(uint32_t address) const {
    const auto found = bytes_.find(address);
    return found != bytes_.end() ? found->second : 0xFF;
  }
  // One past the highest address held; 0 for an empty image.
  [[nodiscard]] uint64_t end() const {
    return bytes_.empty() ? 0 : uint64_t{bytes_.rbegin()->first} + 1;
  }
  [[nodiscard]] bool empty() const { return bytes_.empty(); }
  // Every byte held, by address; data may lie anywhere in 32 bits.
  [[nodiscard]] const std::map<uint32_t, uint8_t>& bytes() const { return bytes_; }

  // The first address held in [from, to), if any.
  [[nodiscard]] std::optional<uint32_t> first_in(uint64_t from, uint64_t to) const;

  // The range [start, start + count) as raw bytes, 0xFF where nothing is held.
  [[nodiscard]] std::vector<uint8_t> raw(uint32_t start, uint32_t count) const;

 private:
  std::map<uint32_t, uint8_t> bytes_;
};

// Record lines are far shorter; a longer one is no record.
constexpr size_t RECORD_LINE_LIMIT = 1024;
// Far more text than the records of any image a chip of the catalogue holds.
constexpr uint64_t RECORD_FILE_LIMIT = uint64_t{128} << 20;

// Throws ImageError with the file name and the reason (with the line where
// there is one). The same address given twice with different bytes is an
// error, and so is a file cut short: without its end record (Intel HEX 01,
// S7/S8/S9), or with records after it. An empty file holds no records. The
// program's own reasons come in English or Russian; the library's stay as it
// words them.
RecordImage read_record_file(const std::string& path, ImageFormat format, bool english);

// The records as the file holds them: data in address order, an S-record
// file with its S0 header and the end record of its address width.
std::string record_text(const std::string& path, ImageFormat format, const RecordImage& image);

// Puts the image's bytes into the file, over what it holds at those
// addresses; its other bytes and records stay. The file is held exclusively
// (refused when another program holds it, or when the user may not write it)
// from reading to replacing, and replaced whole or not at all, keeping its
// mode and, under root, its owner; a link is written through. Ending signals
// wait until the file is replaced or left as it was. Throws ImageError.
void write_record_file(const std::string& path, ImageFormat format, const RecordImage& image,
                       bool english);
// The file replaced by content alone, as safely as a record file: nothing of
// its old content stays. Throws ImageError, worded in English or Russian.
void write_fresh_file(const std::string& path, std::string_view content, bool english);

}  // namespace fp::cli
