// Windows image files: read with others allowed to read, write with no sharing
// and without truncating an existing file, as single transfers at an offset.
#include <windows.h>

#include "platform/image_file.h"

namespace fp {
namespace {

constexpr uint32_t FAILURE = 1;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (is_open()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  [[nodiscard]] bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
  [[nodiscard]] HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A name with a NUL in it would reach the system as a shorter, other name.
bool usable(const std::u16string& path) {
  return !path.empty() && path.find(u'\0') == std::u16string::npos;
}

const wchar_t* wide(const std::u16string& path) {
  return reinterpret_cast<const wchar_t*>(path.c_str());
}

// The offset is unsigned 32-bit: passing the high half keeps offsets from 2 GiB
// on from being taken as negative.
bool seek(HANDLE file, uint32_t file_offset) {
  LONG high = 0;
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(file, static_cast<LONG>(file_offset), &high, FILE_BEGIN);
  return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

}  // namespace

uint32_t load_image(const std::u16string& path, uint8_t* buffer, uint32_t file_offset,
                    uint32_t count) {
  if (!usable(path)) return FAILURE;
  FileHandle file(CreateFileW(wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.is_open()) return FAILURE;
  if (!seek(file.get(), file_offset)) return FAILURE;
  DWORD transferred = 0;
  if (!ReadFile(file.get(), buffer, count, &transferred, nullptr)) return FAILURE;
  return transferred == count ? 0 : FAILURE;
}

uint32_t save_image(const std::u16string& path, const uint8_t* buffer, uint32_t file_offset,
                    uint32_t count) {
  if (!usable(path)) return FAILURE;
  // OPEN_ALWAYS: bytes outside the slice and the file's length stay as they are.
  FileHandle file(CreateFileW(wide(path), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.is_open()) return FAILURE;
  if (!seek(file.get(), file_offset)) return FAILURE;
  DWORD transferred = 0;
  if (!WriteFile(file.get(), buffer, count, &transferred, nullptr)) return FAILURE;
  return transferred == count ? 0 : FAILURE;
}

std::optional<uint64_t> file_size(const std::u16string& path) {
  // Wildcards would make the directory search report some other file.
  if (!usable(path) || path.find_first_of(u"*?") != std::u16string::npos) return std::nullopt;
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW(wide(path), &entry);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
}

}  // namespace fp
