// Image files in the record formats (Intel HEX, Motorola S-record), read and
// written through the srecord library, and the raw images the main window
// moves between file and chip.
#pragma once

#include <cstdint>
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

// The bytes a record file holds, by address; the addresses it leaves out are absent.
class RecordImage {
 public:
  // Addresses from this one on are refused: far beyond any chip and file offset.
  static constexpr uint32_t ADDRESS_LIMIT = 0x2000000;

  void set(uint32_t address, uint8_t value);
  [[nodiscard]] bool has(uint32_t address) const {
    return address < present_.size() && present_[address];
  }
  [[nodiscard]] uint8_t at(uint32_t address) const { return bytes_[address]; }
  // One past the highest address held; 0 for an empty image.
  [[nodiscard]] uint32_t end() const { return static_cast<uint32_t>(bytes_.size()); }
  [[nodiscard]] bool empty() const { return held_ == 0; }

  // The first address held in [from, to), if any.
  [[nodiscard]] std::optional<uint32_t> first_in(uint32_t from, uint32_t to) const;

  // The range [start, start + count) as raw bytes, 0xFF where nothing is held.
  [[nodiscard]] std::vector<uint8_t> raw(uint32_t start, uint32_t count) const;

 private:
  std::vector<uint8_t> bytes_;
  std::vector<bool> present_;
  size_t held_ = 0;
};

// Throws ImageError with the file name and the reason. The same address given
// twice with different bytes is an error.
RecordImage read_record_file(const std::string& path, ImageFormat format);

// Writes the image to a new file beside path, then renames it over path, so
// an existing file is replaced whole or not at all. Throws ImageError.
void write_record_file(const std::string& path, ImageFormat format, const RecordImage& image);

}  // namespace fp::cli
