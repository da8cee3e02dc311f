// Pixels of a screen rectangle as the display shows them (other processes'
// windows included), and a BMP file of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fp::driver {

struct Capture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

Capture capture_screen(const RECT& area);
// False when the file cannot be written.
bool write_bmp(const Capture& capture, const std::wstring& path);

}  // namespace fp::driver
