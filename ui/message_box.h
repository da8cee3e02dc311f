// Message-box flags, answers and command notifications, with the Win32 values
// on every platform. Scoped names keep them clear of the Windows header macros.
#pragma once

#include <cstdint>

namespace fp {

namespace mb {
inline constexpr uint32_t OK = 0x0;
inline constexpr uint32_t YESNO = 0x4;
inline constexpr uint32_t ICON_ERROR = 0x10;
inline constexpr uint32_t ICON_WARNING = 0x30;
inline constexpr uint32_t ICON_INFORMATION = 0x40;
inline constexpr uint32_t DEFBUTTON2 = 0x100;
}  // namespace mb

namespace answer {
inline constexpr int OK = 1;
inline constexpr int CANCEL = 2;
inline constexpr int YES = 6;
inline constexpr int NO = 7;
}  // namespace answer

namespace notify {
inline constexpr uint32_t CLICKED = 0;    // BN_CLICKED
inline constexpr uint32_t SELCHANGE = 1;  // CBN_SELCHANGE
}  // namespace notify

// A command as the window receives it: control ID low, notification high.
inline constexpr uint32_t command_value(int id, uint32_t notification = notify::CLICKED) {
  return (notification << 16) | static_cast<uint32_t>(id & 0xFFFF);
}

}  // namespace fp
