#include "app/main_window.h"

#include "app/calibration.h"
#include "app/catalogue.h"
#include "app/chip_selection.h"
#include "app/data_operations.h"
#include "bus/number_text.h"
#include "platform/image_file.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

constexpr size_t EXTRA_FIELD_MAX_DIGITS = 6;

const ChipDescriptor* row_from_item_data(intptr_t data) {
  for (const ChipDescriptor& row : catalogue_rows()) {
    if (reinterpret_cast<intptr_t>(&row) == data) return &row;
  }
  return nullptr;
}

}  // namespace

std::optional<uint32_t> parse_extra_field(std::string_view text) {
  // The text ends at its first zero byte, as the field's C string does.
  text = text.substr(0, text.find('\0'));
  if (text.empty() || text.size() > EXTRA_FIELD_MAX_DIGITS) return std::nullopt;
  return parse_hex(text);
}

void MainWindow::on_init(DialogView&) {
  MainView& view = context_.main_view;
  view.set_small_icon(dlg::ICON);
  fill_chip_list(view, ctl::CHIP_LIST, chip_catalogue());
  view.list_select(ctl::CHIP_LIST, 0);
  const ChipDescriptor& first = chip_catalogue()[0];
  choose_waits(first);
  select_chip(context_, first);
}

void MainWindow::on_close(DialogView& view) {
  view.end_dialog(0);
}

void MainWindow::on_command(DialogView& view, uint32_t command) {
  const ChipSlots& slots = context_.current_chip->slots;
  switch (command) {
    case command_value(ctl::EXIT_BUTTON):
      view.end_dialog(0);
      break;
    case command_value(ctl::FILE_BUTTON):
      file_command();
      break;
    case command_value(ctl::READ):
      read_command();
      break;
    case command_value(ctl::WRITE):
      write_command();
      break;
    case command_value(ctl::COMPARE):
      compare_command();
      break;
    case command_value(ctl::BLANK_CHECK):
      plain_slot_command(slots.on_blank_check);
      break;
    case command_value(ctl::ERASE):
      plain_slot_command(slots.on_erase);
      break;
    case command_value(ctl::IDENTIFY):
      plain_slot_command(slots.on_identify);
      break;
    case command_value(ctl::CALIBRATE):
      calibration_command();
      break;
    case command_value(ctl::EXTRA_PARAMETERS):
      extra_parameters_command();
      break;
    case command_value(ctl::CHIP_LIST, notify::SELCHANGE):
      chip_selection();
      break;
    default:
      break;
  }
}

bool MainWindow::read_extra_parameters() {
  DialogView& view = context_.main_view.dialog();
  if (!view.checked(ctl::EXTRA_PARAMETERS)) {
    context_.file_offset = 0;
    context_.rom_offset = 0;
    context_.block_length = context_.chip_size;
    return true;
  }
  const auto reject = [&view] {
    view.message_box(text::BAD_EXTRA_PARAMETERS, nullptr, mb::ICON_ERROR);
    return false;
  };
  const auto field = [&view](int id) {
    return parse_extra_field(view.text_8bit(id, EXTRA_FIELD_CAPACITY));
  };
  const auto file_offset = field(ctl::FILE_OFFSET);
  if (!file_offset) return reject();
  const auto rom_offset = field(ctl::ROM_OFFSET);
  if (!rom_offset) return reject();
  const auto block_length = field(ctl::BLOCK_LENGTH);
  if (!block_length) return reject();
  if (*block_length == 0) return reject();
  // Both are below 2^24, so the sum cannot overflow.
  if (*rom_offset + *block_length > context_.chip_size) return reject();
  context_.file_offset = *file_offset;
  context_.rom_offset = *rom_offset;
  context_.block_length = *block_length;
  return true;
}

std::u16string MainWindow::image_path() {
  // The whole name or nothing: a shortened name would be another file. An
  // empty name fails in the file operation with its usual message.
  std::u16string path = context_.main_view.dialog().text(ctl::IMAGE_PATH);
  if (path.size() >= IMAGE_PATH_CAPACITY) path.clear();
  return path;
}

void MainWindow::read_command() {
  if (!read_extra_parameters()) return;
  ProgrammerContext& c = context_;
  // A refused read has told the operator why; the buffer holds nothing of the chip.
  if (read_slice(c, c.image_buffer.data(), c.rom_offset, c.block_length) == ReadResult::refused) {
    return;
  }
  const std::u16string path = image_path();
  if (save_image(path, c.image_buffer.data(), c.file_offset, c.block_length) == 0) {
    c.main_view.dialog().message_box(text::FILE_SAVED, text::PROGRAMMER, mb::OK);
  } else {
    c.main_view.dialog().message_box(text::FILE_WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR);
  }
}

void MainWindow::write_command() {
  ProgrammerContext& c = context_;
  if (c.current_chip->slots.on_write == nullptr) {
    c.main_view.dialog().message_box(text::NOT_IMPLEMENTED, nullptr, mb::ICON_INFORMATION);
    return;
  }
  if (c.calibrated == 0) {
    const int answer = c.main_view.dialog().message_box(
        text::NOT_CALIBRATED, text::PROGRAMMER, mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2);
    if (answer != answer::YES) return;
    c.calibrated = 1;
  }
  if (!read_extra_parameters()) return;
  const std::u16string path = image_path();
  if (load_image(path, c.image_buffer.data(), c.file_offset, c.block_length) != 0) {
    c.main_view.dialog().message_box(text::FILE_READ_ERROR, nullptr, mb::ICON_ERROR);
    return;
  }
  if (write_and_verify(c, c.image_buffer.data(), c.rom_offset, c.block_length) ==
      WriteOutcome::written) {
    c.main_view.dialog().message_box(text::WRITE_DONE, text::PROGRAMMER, mb::OK);
  } else {
    c.main_view.dialog().message_box(text::WRITE_ERROR, text::PROGRAMMER, mb::ICON_ERROR);
  }
}

void MainWindow::compare_command() {
  ProgrammerContext& c = context_;
  if (!read_extra_parameters()) return;
  const std::u16string path = image_path();
  if (load_image(path, c.image_buffer.data(), c.file_offset, c.block_length) != 0) {
    c.main_view.dialog().message_box(text::FILE_READ_ERROR, nullptr, mb::ICON_ERROR);
    return;
  }
  if (compare_slice(c, c.image_buffer.data(), c.rom_offset, c.block_length)) {
    c.main_view.dialog().message_box(text::DATA_EQUAL, text::PROGRAMMER, mb::OK);
  } else {
    c.main_view.dialog().message_box(text::COMPARE_ERROR, text::PROGRAMMER, mb::ICON_ERROR);
  }
}

void MainWindow::plain_slot_command(OperationHandler handler) {
  if (handler != nullptr) {
    handler(context_);
  } else {
    context_.main_view.dialog().message_box(text::NOT_IMPLEMENTED, nullptr, mb::ICON_INFORMATION);
  }
}

void MainWindow::extra_parameters_command() {
  DialogView& view = context_.main_view.dialog();
  const bool shown = view.checked(ctl::EXTRA_PARAMETERS);
  for (const int id : {ctl::FILE_OFFSET, ctl::FILE_OFFSET_LABEL, ctl::ROM_OFFSET,
                       ctl::ROM_OFFSET_LABEL, ctl::BLOCK_LENGTH, ctl::BLOCK_LENGTH_LABEL}) {
    view.set_visible(id, shown);
  }
}

void MainWindow::file_command() {
  MainView& view = context_.main_view;
  FileDialogRequest request;
  request.initial_path = view.dialog().text(ctl::IMAGE_PATH);
  if (request.initial_path.size() >= IMAGE_PATH_CAPACITY) {
    request.initial_path.resize(IMAGE_PATH_CAPACITY - 1);
  }
  request.capacity = IMAGE_PATH_CAPACITY;
  if (const auto chosen = view.open_file_dialog(request)) file_chosen(*chosen);
}

void MainWindow::file_chosen(const std::u16string& path) {
  DialogView& view = context_.main_view.dialog();
  view.set_text(ctl::IMAGE_PATH, path);
  if (const auto size = file_size(path)) {
    view.set_text(ctl::BLOCK_LENGTH, hex_text(static_cast<uint32_t>(*size)));
  }
}

void MainWindow::choose_waits(const ChipDescriptor& row) {
  if (waits_ == RowWaits::by_row) context_.chip_waits = window_waits(row);
}

void MainWindow::select_row(const ChipDescriptor& row) {
  choose_waits(row);
  select_chip(context_, row);
}

void MainWindow::chip_selection() {
  MainView& view = context_.main_view;
  const int index = view.list_selection(ctl::CHIP_LIST);
  if (index < 0) return;
  const ChipDescriptor* row = row_from_item_data(view.list_item_data(ctl::CHIP_LIST, index));
  if (row == nullptr) return;
  select_row(*row);
}

void MainWindow::calibration_command() {
  BoxedCalibrationSteps steps(context_.main_view.dialog());
  calibrate(context_, steps);
}

}  // namespace fp
