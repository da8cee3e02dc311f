// Windows image files: read with others allowed to read, write with no sharing
// and without truncating an existing file, as single transfers at an offset.
// A failed save leaves the file as it was, or takes away the file it made.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/image_file.h"
#include "platform/owned_handle.h"

namespace fp {
namespace {

constexpr uint32_t FAILURE = 1;

struct Win32File {
  using Handle = HANDLE;
  static HANDLE none() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE handle) { CloseHandle(handle); }
};
using FileHandle = OwnedHandle<Win32File>;

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
  if (!usable_image_path(path)) return FAILURE;
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
  if (!usable_image_path(path)) return FAILURE;
  // OPEN_ALWAYS: bytes outside the slice and the file's length stay as they
  // are. Read access too, to keep the bytes the slice covers; a file that may
  // only be written is saved without that safety net.
  HANDLE handle = CreateFileW(wide(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    handle = CreateFileW(wide(path), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) return FAILURE;
  // Whether the file is made here, so that a failed save can take it away again.
  const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
  bool saved = false;
  {
    FileHandle file(handle);
    LARGE_INTEGER old_size{};
    if (GetFileSizeEx(file.get(), &old_size) && seek(file.get(), file_offset)) {
      std::vector<uint8_t> kept;
      if (uint64_t{file_offset} < static_cast<uint64_t>(old_size.QuadPart)) {
        kept.resize(static_cast<size_t>(
            std::min<uint64_t>(static_cast<uint64_t>(old_size.QuadPart) - file_offset, count)));
        DWORD read = 0;
        if (!ReadFile(file.get(), kept.data(), static_cast<DWORD>(kept.size()), &read, nullptr) ||
            read != kept.size()) {
          kept.clear();
        }
      }
      DWORD transferred = 0;
      if (seek(file.get(), file_offset)) {
        saved = WriteFile(file.get(), buffer, count, &transferred, nullptr) && transferred == count;
      }
      // A short write (a full disk, a quota) must not leave the file half
      // changed: put back the bytes it replaced and the old length. Best
      // effort: there is nothing more to try when putting back fails too.
      if (!saved && transferred > 0 && !created) {
        DWORD put_back = 0;
        if (seek(file.get(), file_offset)) {
          WriteFile(file.get(), kept.data(),
                    static_cast<DWORD>(std::min<size_t>(kept.size(), transferred)), &put_back,
                    nullptr);
        }
        if (uint64_t{file_offset} + transferred > static_cast<uint64_t>(old_size.QuadPart) &&
            SetFilePointerEx(file.get(), old_size, nullptr, FILE_BEGIN)) {
          SetEndOfFile(file.get());
        }
      }
    }
  }
  if (!saved && created) DeleteFileW(wide(path));
  return saved ? 0 : FAILURE;
}

std::optional<uint64_t> file_size(const std::u16string& path) {
  // Wildcards would make the directory search report some other file.
  if (!usable_image_path(path) || path.find_first_of(u"*?") != std::u16string::npos)
    return std::nullopt;
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW(wide(path), &entry);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
}

}  // namespace fp
