// The main window: chip choice, image file, extra parameters and the
// operation buttons, each dispatched to the selected catalogue row.
#pragma once

#include <cstdint>
#include <string>

#include "chips/common/programmer_context.h"
#include "ui/views.h"

namespace fp {

// Each hexadecimal field is read into 8 bytes: at most 7 characters arrive.
inline constexpr size_t EXTRA_FIELD_CAPACITY = 8;
// The image path field and the file dialog hold at most this many characters.
inline constexpr size_t IMAGE_PATH_CAPACITY = 1024;

// Who decides how the handlers wait for the chip: the window, row by row
// (window_waits), or the program that set context.chip_waits before.
enum class RowWaits { by_row, as_set };

class MainWindow final : public DialogLogic {
 public:
  explicit MainWindow(ProgrammerContext& context, RowWaits waits = RowWaits::by_row)
      : context_(context), waits_(waits) {}

  void on_init(DialogView& view) override;
  void on_command(DialogView& view, uint32_t command) override;
  void on_close(DialogView& view) override;

  // A file the operator chose (file dialog, or dropped onto the window): the
  // path field shows it and the length field gets its size.
  void file_chosen(const std::u16string& path);

  // Sets file_offset, rom_offset and block_length, or tells the operator why not.
  bool read_extra_parameters();

 private:
  void read_command();
  void write_command();
  void compare_command();
  void plain_slot_command(OperationHandler handler);
  void extra_parameters_command();
  void file_command();
  void chip_selection();
  void calibration_command();

  std::u16string image_path();
  void select_row(const ChipDescriptor& row);

  void choose_waits(const ChipDescriptor& row);

  ProgrammerContext& context_;
  RowWaits waits_;
};

// A field's text is a number of 1 to 6 hexadecimal digits ("0"-"9", "A"-"F").
std::optional<uint32_t> parse_extra_field(std::string_view text);

}  // namespace fp
