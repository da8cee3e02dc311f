// The window and dialog templates as data: every control with its ID, kind,
// text, position and size in dialog units, and initial state. The script
// frontend builds its in-memory windows from it; the resource script of the
// Windows program describes the same templates.
#pragma once

#include <cstdint>
#include <span>

namespace fp {

enum class ControlKind {
  edit,
  static_text,
  push_button,
  default_push_button,
  auto_check_box,
  auto_radio_button,
  drop_down_list,
  status_bar,
  group_box,
};

namespace style {
inline constexpr uint32_t HIDDEN = 1u << 0;
inline constexpr uint32_t DISABLED = 1u << 1;
inline constexpr uint32_t RIGHT = 1u << 2;      // right-aligned text
inline constexpr uint32_t UPPERCASE = 1u << 3;  // edit turns letters to upper case
inline constexpr uint32_t AUTO_HSCROLL = 1u << 4;
inline constexpr uint32_t SUNKEN = 1u << 5;  // sunken client edge
inline constexpr uint32_t MULTILINE = 1u << 6;
inline constexpr uint32_t TAB_STOP = 1u << 7;
}  // namespace style

struct ControlTemplate {
  int id;  // -1: a static text whose ID is never used
  ControlKind kind;
  const char16_t* text;
  int x, y, width, height;
  uint32_t styles;
};

namespace dialog_style {
inline constexpr uint32_t SYSTEM_MENU = 1u << 0;
inline constexpr uint32_t SIZING_FRAME = 1u << 1;
inline constexpr uint32_t VISIBLE = 1u << 2;
// A pop-up window; without a sizing frame it has the dialog frame.
inline constexpr uint32_t POPUP = 1u << 3;
}  // namespace dialog_style

// Every template has a caption bar, is centred on the screen and uses the
// font "MS Sans Serif", 8 points.
struct DialogTemplate {
  int id;
  const char16_t* caption;
  int width, height;
  uint32_t styles;
  std::span<const ControlTemplate> controls;
};

std::span<const DialogTemplate> dialog_templates();
const DialogTemplate* find_dialog_template(int id);

}  // namespace fp
