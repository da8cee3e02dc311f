#include "tests/win32/driver/screen_capture.h"

#include <cstdio>

namespace fp::driver {

Capture capture_screen(const RECT& area) {
  Capture capture;
  capture.width = area.right - area.left;
  capture.height = area.bottom - area.top;
  if (capture.width <= 0 || capture.height <= 0) return {};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    capture.pixels.assign(
        source, source + static_cast<size_t>(capture.width) * static_cast<size_t>(capture.height));
    for (uint32_t& pixel : capture.pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

bool write_bmp(const Capture& capture, const std::wstring& path) {
  if (capture.pixels.empty()) return false;
  const auto row_bytes = static_cast<uint32_t>(capture.width) * 4;
  const uint32_t image_bytes = row_bytes * static_cast<uint32_t>(capture.height);
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + image_bytes;
  header.biSize = sizeof header;
  header.biWidth = capture.width;
  header.biHeight = -capture.height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = image_bytes;
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  bool written =
      std::fwrite(&file, sizeof file, 1, out) == 1 &&
      std::fwrite(&header, sizeof header, 1, out) == 1 &&
      std::fwrite(capture.pixels.data(), 4, capture.pixels.size(), out) == capture.pixels.size();
  written = std::fclose(out) == 0 && written;
  return written;
}

}  // namespace fp::driver
