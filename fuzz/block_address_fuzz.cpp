// The block-address entry of the AT49F erase dialog on any typed text: "OK"
// either ends the dialog with a block inside the chip, the very number typed,
// or shows "Неверное число!" once and keeps the dialog open; closing it
// afterwards always cancels.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "chips/jedec/erase_block_dialog.h"
#include "fuzz/fuzz_check.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace {

// The dialog's controls in memory; 8-bit text as GetDlgItemTextA gives it.
class FuzzDialogView final : public fp::DialogView {
 public:
  std::u16string text(int id) override { return texts[id]; }
  std::string text_8bit(int id, size_t capacity) override {
    std::string narrow;
    for (const char16_t c : texts[id]) {
      if (c == 0) break;
      narrow += c < 0x80 ? static_cast<char>(c) : '?';
    }
    if (capacity == 0) return {};
    if (narrow.size() > capacity - 1) narrow.resize(capacity - 1);
    return narrow;
  }
  void set_text(int id, std::u16string_view value) override { texts[id] = value; }
  bool checked(int id) override { return checks[id]; }
  void set_checked(int id, bool value) override { checks[id] = value; }
  void set_visible(int, bool) override {}
  void set_enabled(int id, bool value) override { enabled[id] = value; }
  int message_box(std::u16string_view value, const char16_t* caption, uint32_t flags) override {
    ++boxes;
    FUZZ_CHECK(value == fp::text::BAD_NUMBER && caption == nullptr &&
               flags == (fp::mb::OK | fp::mb::ICON_ERROR));
    return fp::answer::OK;
  }
  void end_dialog(intptr_t result) override {
    if (!ended) ended = result;
  }

  std::map<int, std::u16string> texts;
  std::map<int, bool> checks;
  std::map<int, bool> enabled;
  int boxes = 0;
  std::optional<intptr_t> ended;
};

// What the operator typed is a block when it is hexadecimal, names a 32-bit
// value and lies inside the chip.
std::optional<uint32_t> expected_block(const std::u16string& typed, uint32_t chip_size) {
  if (typed.size() > fp::BLOCK_TEXT_MAX_LENGTH) return std::nullopt;
  uint64_t value = 0;
  for (const char16_t c : typed) {
    if (c == 0) break;
    if (c >= u'0' && c <= u'9') {
      value = value * 16 + (c - u'0');
    } else if (c >= u'A' && c <= u'F') {
      value = value * 16 + (c - u'A' + 10);
    } else {
      return std::nullopt;
    }
    if (value > 0xFFFFFFFF) return std::nullopt;
  }
  if (value >= chip_size) return std::nullopt;
  return static_cast<uint32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // First byte: the chip (AT49F512 or AT49F002); the rest: the typed text,
  // one character a byte.
  const uint32_t chip_size = (data[0] & 1) != 0 ? 0x40000 : 0x10000;
  std::u16string typed;
  for (size_t i = 1; i < size; ++i) typed += static_cast<char16_t>(data[i]);

  fp::EraseBlockDialog dialog(chip_size);
  FuzzDialogView view;
  view.texts[fp::ctl::BLOCK_ADDRESS] = u"0";
  dialog.on_init(view);
  FUZZ_CHECK(view.checks[fp::ctl::WHOLE_CHIP]);
  // The operator picks "Блок:", types, and presses OK.
  view.checks[fp::ctl::WHOLE_CHIP] = false;
  view.checks[fp::ctl::ONE_BLOCK] = true;
  dialog.on_command(view, fp::command_value(fp::ctl::ONE_BLOCK));
  FUZZ_CHECK(view.enabled[fp::ctl::BLOCK_ADDRESS]);
  view.texts[fp::ctl::BLOCK_ADDRESS] = typed;
  dialog.on_command(view, fp::command_value(fp::ctl::OK_BUTTON));

  const auto expected = expected_block(typed, chip_size);
  if (expected) {
    FUZZ_CHECK(view.boxes == 0);
    FUZZ_CHECK(view.ended == static_cast<intptr_t>(*expected));
    FUZZ_CHECK(dialog.choice().target == fp::EraseTarget::block &&
               dialog.choice().block_address == *expected);
  } else {
    FUZZ_CHECK(view.boxes == 1);
    FUZZ_CHECK(!view.ended);
    dialog.on_close(view);
    FUZZ_CHECK(view.ended == fp::BLOCK_CHOICE_CANCEL);
    FUZZ_CHECK(dialog.choice().target == fp::EraseTarget::none);
  }
  return 0;
}
