// The extra parameters of the main window on any field texts and any chip row:
// read_extra_parameters accepts exactly the slices that fit the chip, and
// turns everything else into its one message, before anything else happens.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/catalogue.h"
#include "app/main_window.h"
#include "frontends/headless/quoting.h"
#include "frontends/script/script_session.h"
#include "fuzz/fuzz_check.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace {

std::optional<uint32_t> expected_field(std::string_view text) {
  text = text.substr(0, text.find('\0'));  // 8-bit text ends at its zero byte
  if (text.empty() || text.size() > 6) return std::nullopt;
  uint32_t value = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      value = value * 16 + static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      value = value * 16 + static_cast<uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
  }
  return value;
}

// One window for the whole run: the check depends only on the fields, the
// check box and the selected row.
struct Program {
  std::ostringstream output;
  fp::script::ScriptSession session{output, nullptr};
  fp::MainWindow window{session.context()};
  Program() { window.on_init(session.context().main_view.dialog()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Program program;
  if (size == 0) return 0;
  fp::ProgrammerContext& context = program.session.context();
  fp::MainView& main_view = context.main_view;
  fp::DialogView& view = main_view.dialog();

  // First byte: the row and the check box; then the three fields, one a line.
  const auto rows = fp::catalogue_rows();
  main_view.list_select(fp::ctl::CHIP_LIST, data[0] % static_cast<int>(rows.size()));
  program.window.on_command(view, fp::command_value(fp::ctl::CHIP_LIST, fp::notify::SELCHANGE));
  const bool checked = (data[0] & 0x80) != 0;
  view.set_checked(fp::ctl::EXTRA_PARAMETERS, checked);
  std::vector<std::string> fields(3);
  size_t field = 0;
  for (size_t i = 1; i < size && field < fields.size(); ++i) {
    if (data[i] == '\n') {
      ++field;
    } else {
      fields[field] += static_cast<char>(data[i]);
    }
  }
  const int ids[] = {fp::ctl::FILE_OFFSET, fp::ctl::ROM_OFFSET, fp::ctl::BLOCK_LENGTH};
  for (size_t i = 0; i < fields.size(); ++i) {
    std::u16string text;
    for (const char c : fields[i]) text += static_cast<char16_t>(static_cast<uint8_t>(c));
    view.set_text(ids[i], text);
  }

  for (const std::string& text : fields) {
    FUZZ_CHECK(fp::parse_extra_field(text) == expected_field(text));
  }

  // What the window should decide, from the 8-bit texts it gets (7 characters at most).
  const uint32_t chip_size = context.chip_size;
  FUZZ_CHECK(chip_size == context.current_chip->size);
  bool accepted = true;
  uint32_t values[3] = {0, 0, chip_size};
  if (checked) {
    for (size_t i = 0; i < 3 && accepted; ++i) {
      const auto value = expected_field(view.text_8bit(ids[i], fp::EXTRA_FIELD_CAPACITY));
      accepted = value.has_value();
      if (value) values[i] = *value;
    }
    accepted = accepted && values[2] != 0 && uint64_t{values[1]} + values[2] <= chip_size;
  }

  program.output.str("");
  const uint32_t before[3] = {context.file_offset, context.rom_offset, context.block_length};
  const bool result = program.window.read_extra_parameters();
  FUZZ_CHECK(result == accepted);
  const std::string shown = program.output.str();
  if (accepted) {
    FUZZ_CHECK(shown.empty());
    FUZZ_CHECK(context.file_offset == values[0] && context.rom_offset == values[1] &&
               context.block_length == values[2]);
    FUZZ_CHECK(context.rom_offset + context.block_length <= chip_size);
  } else {
    FUZZ_CHECK(shown == "box " + fp::headless::quoted(fp::text::BAD_EXTRA_PARAMETERS) +
                            " caption=none flags=MB_OK|MB_ICONERROR -> IDOK\n");
    FUZZ_CHECK(context.file_offset == before[0] && context.rom_offset == before[1] &&
               context.block_length == before[2]);
  }
  return 0;
}
