#include "ui/cli/cli_session.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "app/catalogue.h"
#include "app/main_window.h"
#include "app/number_text.h"
#include "platform/posix/direct_port.h"
#include "platform/posix/ppdev_port.h"
#include "platform/posix/realtime_priority.h"
#include "platform/posix/release_on_signal.h"
#include "platform/system_clock.h"
#include "platform/utf8.h"
#include "sim/chip_store.h"
#include "sim/following_socket.h"
#include "sim/simulated_board.h"
#include "ui/cli/chip_choice.h"
#include "ui/cli/image_format.h"
#include "ui/cli/port_choice.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/message_box.h"
#include "ui/script/trace.h"
#include "ui/script/window_model.h"
#include "ui/texts.h"

namespace fp::cli {
namespace {

using script::WindowModel;

constexpr std::array<int, 4> BLOCK_BOXES{ctl::BLOCK_0, ctl::BLOCK_1, ctl::BLOCK_2, ctl::BLOCK_3};

// The control latch loaded with CTRL_IDLE: bus released, programming voltage off.
const std::vector<posix::PortWrite> IDLE_BOARD{{DATA_PORT, CTRL_IDLE},
                                               {CONTROL_PORT, LATCH_CTRL},
                                               {CONTROL_PORT, LATCH_CTRL | 1},
                                               {CONTROL_PORT, LATCH_CTRL}};
// Longer than any internal operation a simulated chip runs by itself.
constexpr uint64_t SETTLE_US = 10'000'000;

std::string hex(uint32_t value) {
  return to_utf8(hex_text(value)) + "h";
}

std::optional<uint32_t> parse_free_hex(std::string_view text) {
  if (text.ends_with('h') || text.ends_with('H')) text.remove_suffix(1);
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.empty() || text.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (const char c : text) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

std::optional<uint8_t> parse_byte(std::string_view text) {
  const auto value = parse_free_hex(text);
  if (!value || *value > 0xFF || text.size() > 4) return std::nullopt;
  return static_cast<uint8_t>(*value);
}

// A file of the temporary folder, gone with the object.
class TempFile {
 public:
  TempFile() {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr && *folder != 0 ? folder : "/tmp") +
                          "/programmer-image-XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) throw ImageError("cannot create a temporary file in " + pattern);
    ::close(descriptor);
    path_ = pattern;
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class Session {
 public:
  Session(const CliOptions& options, Console& console) : options_(options), console_(console) {}
  int run();

 private:
  class WindowView;
  class MainWindowView;

  // Setting up.
  void check_options();
  bool open_port();
  bool prepare_image();
  void fill_extra_parameters();
  void select_row();

  // The command and what follows it.
  void press(int id);
  void run_operation();
  void after_operation();
  bool finish();

  // The view's services.
  int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags);
  intptr_t run_dialog(int template_id, DialogLogic& logic);
  void status_text(std::u16string_view text);
  void drive(int template_id, WindowModel& model, DialogLogic& logic, DialogView& view);
  bool click(WindowModel& model, DialogLogic& logic, DialogView& view, int id);
  void drive_id_dialog(WindowModel& model, DialogLogic& logic, DialogView& view);
  void drive_block_dialog(WindowModel& model, DialogLogic& logic, DialogView& view);
  void drive_blocks_dialog(WindowModel& model, DialogLogic& logic, DialogView& view);
  void drive_fuse_dialog(WindowModel& model, DialogLogic& logic, DialogView& view);
  void print_labelled(WindowModel& model, int template_id, int value_id);
  void convert_read_image();

  void fail(std::string_view why) {
    if (!why.empty()) console_.note(why);
    failed_ = true;
  }
  void usage(std::string_view why) {
    if (!why.empty()) console_.note(why);
    usage_error_ = true;
  }
  [[nodiscard]] int status() const {
    return usage_error_ ? EXIT_USAGE_STATUS : failed_ ? EXIT_FAILURE_STATUS : EXIT_SUCCESS_STATUS;
  }
  [[nodiscard]] bool takes_file() const {
    return options_.command == Command::read || options_.command == Command::write ||
           options_.command == Command::verify;
  }
  // The slice the fields name, where they can be read; the window judges them.
  [[nodiscard]] uint32_t slice_value(const std::optional<std::string>& field) const {
    const auto value = field ? parse_extra_field(*field) : std::optional<uint32_t>(0);
    return value.value_or(0);
  }
  [[nodiscard]] uint32_t slice_length() const;

  const CliOptions& options_;
  Console& console_;
  const ChipDescriptor* row_ = nullptr;

  // The machine.
  sim::SimulatedBoard board_;
  sim::VirtualClock virtual_clock_{board_};
  sim::RecordedPriority recorded_priority_;
  std::unique_ptr<sim::FollowingSocket> socket_;
  std::string store_path_;
  std::vector<std::string> stored_models_;
  std::unique_ptr<posix::HeldPort> held_port_;
  std::unique_ptr<posix::ReleaseOnSignal> signal_guard_;
  SystemClock system_clock_;
  std::unique_ptr<posix::RealtimePriority> realtime_priority_;
  std::ofstream trace_file_;
  std::unique_ptr<script::Trace> trace_;
  PortIo* port_ = nullptr;
  Clock* clock_ = nullptr;
  Priority* priority_ = nullptr;

  // The program.
  std::unique_ptr<WindowModel> main_model_;
  std::unique_ptr<MainWindowView> main_view_;
  std::unique_ptr<ProgrammerContext> context_;
  std::unique_ptr<MainWindow> main_window_;

  // Files.
  ImageFormat format_ = ImageFormat::raw;
  std::unique_ptr<TempFile> temp_;
  RecordImage read_target_;

  // The run.
  int dialog_depth_ = 0;
  std::optional<int> expected_dialog_;
  bool expected_dialog_seen_ = false;
  std::u16string last_status_;
  bool failed_ = false;
  bool usage_error_ = false;
};

class Session::WindowView : public script::ModelDialogView {
 public:
  WindowView(Session& session, WindowModel& model) : ModelDialogView(model), session_(session) {}

  // The options are set as given: hexadecimal options take upper-case digits only.
  void set_text(int id, std::u16string_view value) override { model_.control(id).text = value; }
  int message_box(std::u16string_view value, const char16_t* caption, uint32_t flags) override {
    return session_.message_box(value, caption, flags);
  }

 private:
  Session& session_;
};

class Session::MainWindowView final : public MainView {
 public:
  MainWindowView(Session& session, WindowModel& model)
      : window_(session, model), session_(session), model_(model) {}

  std::u16string text(int id) override { return window_.text(id); }
  std::string text_8bit(int id, size_t capacity) override {
    return window_.text_8bit(id, capacity);
  }
  void set_text(int id, std::u16string_view value) override { window_.set_text(id, value); }
  bool checked(int id) override { return window_.checked(id); }
  void set_checked(int id, bool value) override { window_.set_checked(id, value); }
  void set_visible(int id, bool value) override { window_.set_visible(id, value); }
  void set_enabled(int id, bool value) override { window_.set_enabled(id, value); }
  int message_box(std::u16string_view value, const char16_t* caption, uint32_t flags) override {
    return window_.message_box(value, caption, flags);
  }
  void end_dialog(intptr_t result) override { window_.end_dialog(result); }
  void set_status_text(std::u16string_view value) override {
    model_.control(ctl::STATUS_BAR).text = value;
    session_.status_text(value);
  }
  int list_add(int id, std::u16string_view value) override {
    auto& items = model_.control(id).items;
    items.emplace_back(std::u16string(value), 0);
    return static_cast<int>(items.size()) - 1;
  }
  void list_set_item_data(int id, int index, intptr_t data) override {
    auto& items = model_.control(id).items;
    if (index >= 0 && static_cast<size_t>(index) < items.size()) {
      items[static_cast<size_t>(index)].second = data;
    }
  }
  intptr_t list_item_data(int id, int index) override {
    const auto& items = model_.control(id).items;
    if (index < 0 || static_cast<size_t>(index) >= items.size()) return -1;
    return items[static_cast<size_t>(index)].second;
  }
  void list_select(int id, int index) override { model_.control(id).selection = index; }
  int list_selection(int id) override { return model_.control(id).selection; }
  void set_small_icon(int) override {}
  // No file dialog: the file comes with the command.
  std::optional<std::u16string> open_file_dialog(const FileDialogRequest&) override {
    return std::nullopt;
  }
  intptr_t run_dialog(int template_id, DialogLogic& logic) override {
    return session_.run_dialog(template_id, logic);
  }
  DialogView& view() { return window_; }

 private:
  WindowView window_;
  Session& session_;
  WindowModel& model_;
};

int Session::run() {
  check_options();
  if (usage_error_) return status();
  if (!open_port()) return status();

  main_model_ = std::make_unique<WindowModel>(*find_dialog_template(dlg::MAIN));
  main_view_ = std::make_unique<MainWindowView>(*this, *main_model_);
  context_ = std::make_unique<ProgrammerContext>(*port_, *clock_, *priority_, *main_view_,
                                                 chip_catalogue()[0]);
  if (socket_) {
    context_->chip_selected = [this](const ChipDescriptor& row) { socket_->follow(row.name); };
  }
  main_window_ = std::make_unique<MainWindow>(*context_);

  // As the program starts: the bus reset, then the window with row 0.
  context_->bus.bus_reset();
  main_window_->on_init(main_view_->view());
  if (row_ != nullptr) select_row();
  if (!usage_error_ && !failed_ && prepare_image()) {
    fill_extra_parameters();
    run_operation();
    after_operation();
  }
  console_.end_progress();
  finish();
  return status();
}

void Session::check_options() {
  const Command command = options_.command;
  const bool slice = options_.file_offset || options_.chip_offset || options_.length;
  if (slice && !takes_file())
    usage("--file-offset, --chip-offset and --length go with read, write and verify");
  if (options_.blocks && command != Command::blank && command != Command::erase) {
    usage("--blocks goes with blank and erase");
  }
  if (options_.block && command != Command::erase) usage("--block goes with erase");
  if (!options_.format.empty() && !takes_file()) usage("--format goes with read, write and verify");
  if (command != Command::calibrate) {
    if (options_.chip.empty()) {
      usage("which chip? give --chip NAME or --chip ROW (see: programmer list)");
    } else {
      auto found = find_row(options_.chip);
      if (const auto* why = std::get_if<std::string>(&found)) {
        usage(*why);
      } else {
        row_ = std::get<const ChipDescriptor*>(found);
      }
    }
  } else if (!options_.chip.empty()) {
    auto found = find_row(options_.chip);
    if (const auto* why = std::get_if<std::string>(&found))
      usage(*why);
    else
      row_ = std::get<const ChipDescriptor*>(found);
  }
  for (const auto* fuse : {&options_.fuse_low, &options_.fuse_high, &options_.fuse_extended}) {
    if (*fuse && !parse_byte(**fuse)) usage("fuse byte " + **fuse + ": not a hexadecimal byte");
  }
  if (command == Command::lock && !parse_byte(options_.lock_value)) {
    usage("lock byte " + options_.lock_value + ": not a hexadecimal byte");
  }
  if (takes_file()) {
    format_ =
        options_.format.empty() ? format_for_path(options_.file) : *format_by_name(options_.format);
  }
}

bool Session::open_port() {
  auto parsed = parse_port(options_.port);
  if (const auto* why = std::get_if<std::string>(&parsed)) {
    usage(*why);
    return false;
  }
  const PortChoice& choice = std::get<PortChoice>(parsed);
  if (const auto* simulated = std::get_if<SimulatedPort>(&choice)) {
    socket_ = std::make_unique<sim::FollowingSocket>(board_);
    store_path_ = simulated->store;
    if (!store_path_.empty()) {
      try {
        for (auto& chip : sim::load_chip_store(store_path_)) {
          stored_models_.emplace_back(chip->model_name());
          socket_->stock(std::move(chip));
        }
      } catch (const sim::StoreError& error) {
        fail(error.what());
        return false;
      }
    }
    board_.set_violation_listener(
        [this](const std::string& text) { console_.note("sim: " + text); });
    port_ = &board_;
    clock_ = &virtual_clock_;
    priority_ = &recorded_priority_;
  } else {
    std::string error;
    posix::SystemCalls& calls = posix::linux_system_calls();
    if (const auto* ppdev = std::get_if<PpdevPortChoice>(&choice)) {
      held_port_ = posix::PpdevPort::open(calls, ppdev->device, error);
    } else {
      held_port_ = posix::DirectPort::open(calls, std::get<DirectPortChoice>(choice).base, error);
    }
    if (!held_port_) {
      fail(error);
      return false;
    }
    // Leaving, the board goes idle: no programming voltage on a chip nobody watches.
    held_port_->set_farewell(IDLE_BOARD);
    signal_guard_ = std::make_unique<posix::ReleaseOnSignal>(*held_port_);
    realtime_priority_ = std::make_unique<posix::RealtimePriority>(calls, console_.err());
    port_ = held_port_.get();
    clock_ = &system_clock_;
    priority_ = realtime_priority_.get();
  }
  if (!options_.trace.empty()) {
    trace_file_.open(options_.trace, std::ios::trunc);
    if (!trace_file_) {
      fail("cannot write the trace file " + options_.trace);
      return false;
    }
    trace_ = std::make_unique<script::Trace>(*port_, *clock_, *priority_, &trace_file_);
    port_ = trace_.get();
    clock_ = trace_.get();
    priority_ = trace_.get();
  }
  return true;
}

void Session::select_row() {
  script::ControlState& list = main_model_->control(ctl::CHIP_LIST);
  for (size_t i = 0; i < list.items.size(); ++i) {
    if (list.items[i].second == reinterpret_cast<intptr_t>(row_))
      list.selection = static_cast<int>(i);
  }
  main_window_->on_command(main_view_->view(), command_value(ctl::CHIP_LIST, notify::SELCHANGE));
}

uint32_t Session::slice_length() const {
  if (options_.length) return parse_extra_field(*options_.length).value_or(0);
  const uint32_t start = slice_value(options_.chip_offset);
  return start < context_->chip_size ? context_->chip_size - start : 0;
}

void Session::fill_extra_parameters() {
  if (!options_.file_offset && !options_.chip_offset && !options_.length) return;
  WindowModel& model = *main_model_;
  model.control(ctl::EXTRA_PARAMETERS).checked = true;
  main_window_->on_command(main_view_->view(), command_value(ctl::EXTRA_PARAMETERS));
  model.control(ctl::FILE_OFFSET).text = from_utf8(options_.file_offset.value_or("0"));
  model.control(ctl::ROM_OFFSET).text = from_utf8(options_.chip_offset.value_or("0"));
  // Without a length the slice runs to the end of the chip.
  model.control(ctl::BLOCK_LENGTH).text =
      options_.length ? from_utf8(*options_.length) : hex_text(slice_length());
}

bool Session::prepare_image() {
  if (!takes_file()) return true;
  std::u16string window_path = from_utf8(options_.file);
  if (format_ != ImageFormat::raw) {
    try {
      temp_ = std::make_unique<TempFile>();
      if (options_.command == Command::read) {
        // The slice goes into the records already there, as into a raw file.
        std::error_code missing;
        if (std::filesystem::exists(options_.file, missing)) {
          read_target_ = read_record_file(options_.file, format_);
        }
      } else {
        const RecordImage image = read_record_file(options_.file, format_);
        if (image.empty()) {
          fail(options_.file + ": holds no data");
          return false;
        }
        // File address a holds chip byte a - file offset + chip offset.
        const uint32_t file_offset = slice_value(options_.file_offset);
        const uint32_t chip_offset = slice_value(options_.chip_offset);
        const uint32_t chip_start = file_offset > chip_offset ? file_offset - chip_offset : 0;
        const uint32_t chip_end = file_offset - std::min(file_offset, chip_offset) +
                                  context_->chip_size -
                                  (chip_offset > file_offset ? chip_offset - file_offset : 0);
        const auto below = image.first_in(0, chip_start);
        const auto above = image.first_in(chip_end, image.end());
        if (below || above) {
          fail(options_.file + ": data at " + hex(below ? *below : *above) +
               " lies outside the chip (" + to_utf8(context_->current_chip->name) + ", " +
               hex(context_->chip_size) + " bytes)");
          return false;
        }
        const uint32_t raw_size = std::max(image.end(), file_offset + slice_length());
        const std::vector<uint8_t> raw = image.raw(0, raw_size);
        std::ofstream out(temp_->path(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(raw.data()),
                  static_cast<std::streamsize>(raw.size()));
        if (!out.flush()) {
          fail("cannot write the temporary image " + temp_->path());
          return false;
        }
      }
    } catch (const ImageError& error) {
      fail(error.what());
      return false;
    }
    window_path = from_utf8(temp_->path());
  }
  main_model_->control(ctl::IMAGE_PATH).text = window_path;
  return true;
}

void Session::press(int id) {
  main_model_->click(id);
  main_window_->on_command(main_view_->view(), command_value(id));
}

void Session::run_operation() {
  const uint32_t chip_size = context_->chip_size;
  switch (options_.command) {
    case Command::list:
      break;
    case Command::read:
      console_.progress_range(slice_value(options_.chip_offset), slice_length());
      press(ctl::READ);
      break;
    case Command::write:
      console_.progress_range(slice_value(options_.chip_offset), slice_length());
      press(ctl::WRITE);
      break;
    case Command::verify:
      console_.progress_range(slice_value(options_.chip_offset), slice_length());
      press(ctl::COMPARE);
      break;
    case Command::blank:
      console_.progress_range(0, chip_size);
      press(ctl::BLANK_CHECK);
      break;
    case Command::erase:
      console_.progress_range(0, chip_size);
      press(ctl::ERASE);
      break;
    case Command::id:
      press(ctl::IDENTIFY);
      break;
    case Command::sdp:
      expected_dialog_ = dlg::JEDEC_ID;
      press(ctl::IDENTIFY);
      break;
    case Command::fuses:
    case Command::lock:
      expected_dialog_ = dlg::ATTINY_FUSES;
      press(ctl::IDENTIFY);
      break;
    case Command::calibrate:
      press(ctl::CALIBRATE);
      break;
  }
}

void Session::after_operation() {
  if (expected_dialog_ && !expected_dialog_seen_) {
    const std::string name = to_utf8(context_->current_chip->name);
    usage(*expected_dialog_ == dlg::JEDEC_ID ? "the " + name + " has no software data protection"
                                             : "the " + name + " has no fuses or lock bits");
  }
  // A closing status text is the only word some operations leave.
  if (!last_status_.empty() && !progress_address(last_status_) && !last_status_.ends_with(u' ')) {
    console_.result(last_status_);
  }
}

bool Session::finish() {
  bool whole = true;
  if (socket_) {
    // As on a real board after the program ends: what the chip has begun it
    // finishes, and the board goes idle. The chip's memory is then what a
    // next run will find.
    board_.advance_us(SETTLE_US);
    for (const posix::PortWrite& write : IDLE_BOARD) board_.out(write.port, write.value);
  }
  if (socket_ && !store_path_.empty()) {
    try {
      // The chips of the file and the one the command used; not the first
      // row's, which the window's start put into the socket in passing.
      std::vector<sim::ChipModel*> kept;
      for (sim::ChipModel* chip : socket_->chips()) {
        const bool stored = std::find(stored_models_.begin(), stored_models_.end(),
                                      chip->model_name()) != stored_models_.end();
        if (stored || chip == board_.chip()) kept.push_back(chip);
      }
      sim::save_chip_store(store_path_, kept);
    } catch (const sim::StoreError& error) {
      fail(error.what());
      whole = false;
    }
  }
  if (held_port_) {
    held_port_->release();
    if (!held_port_->failure().empty()) {
      fail(held_port_->failure());
      whole = false;
    }
  }
  return whole;
}

void Session::status_text(std::u16string_view text) {
  last_status_ = text;
  console_.progress(text);
}

int Session::message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) {
  const bool question = (flags & 0xF) == mb::YESNO;
  if (expected_dialog_ && !expected_dialog_seen_) {
    // The identify button of another family answers with a box of its own:
    // that chip has not what the command wanted.
    return question ? answer::NO : answer::OK;
  }
  if (question) {
    const auto yes = console_.ask(text, (flags & mb::DEFBUTTON2) == 0);
    if (!yes) {
      fail("no answer: standard input is not a terminal (--yes answers yes)");
      return answer::NO;
    }
    if (!*yes) failed_ = true;
    return *yes ? answer::YES : answer::NO;
  }
  if (text == text::FILE_SAVED && temp_) {
    convert_read_image();
    if (failed_) return answer::OK;
  }
  if (text == text::BAD_EXTRA_PARAMETERS || text == text::NOT_IMPLEMENTED ||
      text == text::BAD_NUMBER || text == text::EEPROM_ERASE_REFUSED) {
    usage_error_ = true;
    console_.error(text);
  } else if ((flags & 0xF0) == mb::ICON_ERROR || text == text::NOT_BLANK) {
    failed_ = true;
    console_.error(text);
  } else if (text == text::VPP_ON) {
    console_.hold(text);
  } else if (caption != nullptr && std::u16string_view(caption) != text::PROGRAMMER) {
    // The caption names what the text holds: "Тип микросхемы: 89 94".
    std::u16string value;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text.substr(i, 2) == u"\r\n") {
        value += u' ';
        ++i;
      } else {
        value += text[i];
      }
    }
    console_.labelled(caption, ": ", value);
  } else {
    console_.result(text);
  }
  return answer::OK;
}

void Session::convert_read_image() {
  const uint32_t file_offset = context_->file_offset;
  const uint32_t count = context_->block_length;
  std::ifstream raw(temp_->path(), std::ios::binary);
  std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(raw), {});
  if (bytes.size() < static_cast<size_t>(file_offset) + count) {
    console_.error(text::FILE_WRITE_ERROR);
    fail("the temporary image " + temp_->path() + " is short");
    return;
  }
  for (uint32_t i = 0; i < count; ++i) read_target_.set(file_offset + i, bytes[file_offset + i]);
  try {
    write_record_file(options_.file, format_, read_target_);
  } catch (const ImageError& error) {
    console_.error(text::FILE_WRITE_ERROR);
    fail(error.what());
  }
}

intptr_t Session::run_dialog(int template_id, DialogLogic& logic) {
  const DialogTemplate* found = find_dialog_template(template_id);
  if (found == nullptr) return -1;
  WindowModel model(*found);
  WindowView view(*this, model);
  ++dialog_depth_;
  if (expected_dialog_ && template_id == *expected_dialog_) expected_dialog_seen_ = true;
  logic.on_init(view);
  if (!model.ended) drive(template_id, model, logic, view);
  if (!model.ended) logic.on_close(view);
  // A dialog that will not close still ends with the command.
  if (!model.ended) model.ended = 0;
  --dialog_depth_;
  return *model.ended;
}

bool Session::click(WindowModel& model, DialogLogic& logic, DialogView& view, int id) {
  model.click(id);
  logic.on_command(view, command_value(id));
  return model.ended.has_value();
}

void Session::drive(int template_id, WindowModel& model, DialogLogic& logic, DialogView& view) {
  switch (template_id) {
    case dlg::JEDEC_ID:
      drive_id_dialog(model, logic, view);
      break;
    case dlg::ERASE_BLOCK:
      drive_block_dialog(model, logic, view);
      break;
    case dlg::BLOCKS:
      drive_blocks_dialog(model, logic, view);
      break;
    case dlg::ATTINY_FUSES:
      drive_fuse_dialog(model, logic, view);
      break;
    default:
      fail("dialog " + std::to_string(template_id) + " is not for the command line");
      break;
  }
}

void Session::print_labelled(WindowModel& model, int template_id, int value_id) {
  // The label is the static text just before the value in the template.
  const DialogTemplate* found = find_dialog_template(template_id);
  std::u16string label;
  const ControlTemplate* previous = nullptr;
  for (const ControlTemplate& control : found->controls) {
    if (control.id == value_id && previous != nullptr) label = previous->text;
    previous = &control;
  }
  console_.labelled(label, " ", model.control(value_id).text);
}

void Session::drive_id_dialog(WindowModel& model, DialogLogic& logic, DialogView& view) {
  if (options_.command == Command::id) {
    print_labelled(model, dlg::JEDEC_ID, ctl::MANUFACTURER_CODE);
    print_labelled(model, dlg::JEDEC_ID, ctl::DEVICE_CODE);
  } else if (options_.command == Command::sdp) {
    if (click(model, logic, view, options_.sdp_on ? ctl::SDP_ON : ctl::SDP_OFF)) return;
  }
  click(model, logic, view, ctl::CANCEL_BUTTON);
}

void Session::drive_block_dialog(WindowModel& model, DialogLogic& logic, DialogView& view) {
  if (options_.command != Command::erase) {
    click(model, logic, view, ctl::CANCEL_BUTTON);
    return;
  }
  if (!options_.block || *options_.block == "chip") {
    if (click(model, logic, view, ctl::WHOLE_CHIP)) return;
  } else {
    if (click(model, logic, view, ctl::ONE_BLOCK)) return;
    model.control(ctl::BLOCK_ADDRESS).text = from_utf8(*options_.block);
  }
  if (click(model, logic, view, ctl::OK_BUTTON)) return;
  // The dialog refused the address and stays open.
  usage_error_ = true;
  click(model, logic, view, ctl::CANCEL_BUTTON);
}

void Session::drive_blocks_dialog(WindowModel& model, DialogLogic& logic, DialogView& view) {
  std::string labels;
  std::array<std::optional<uint32_t>, BLOCK_BOXES.size()> starts{};
  for (size_t i = 0; i < BLOCK_BOXES.size(); ++i) {
    const std::string label = to_utf8(model.control(BLOCK_BOXES[i]).text);
    starts[i] = parse_free_hex(label);
    labels += " " + label;
  }
  const auto cancel = [&](const std::string& why) {
    usage(why);
    click(model, logic, view, ctl::CANCEL_BUTTON);
  };
  std::string wanted;
  if (options_.blocks) {
    wanted = *options_.blocks;
  } else if (options_.command == Command::blank) {
    wanted = "all";
  } else {
    cancel("the " + to_utf8(context_->current_chip->name) +
           " erases by blocks: give --blocks all or a list of:" + labels);
    return;
  }
  std::array<bool, BLOCK_BOXES.size()> chosen{};
  if (wanted == "all") {
    chosen.fill(true);
  } else {
    std::stringstream items(wanted);
    for (std::string item; std::getline(items, item, ',');) {
      const auto address = parse_free_hex(item);
      bool found = false;
      for (size_t i = 0; i < starts.size(); ++i) {
        if (address && starts[i] == address) chosen[i] = found = true;
      }
      if (!found) {
        cancel("no block at " + item + "; the blocks of the " +
               to_utf8(context_->current_chip->name) + ":" + labels);
        return;
      }
    }
  }
  for (size_t i = 0; i < BLOCK_BOXES.size(); ++i) model.control(BLOCK_BOXES[i]).checked = chosen[i];
  click(model, logic, view, ctl::OK_BUTTON);
}

void Session::drive_fuse_dialog(WindowModel& model, DialogLogic& logic, DialogView& view) {
  const auto byte_of = [&model](int first_bit) {
    uint8_t value = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (model.control(first_bit + bit).checked) value = static_cast<uint8_t>(value | 1 << bit);
    }
    return value;
  };
  const auto set_byte = [&model](int first_bit, uint8_t value) {
    for (int bit = 0; bit < 8; ++bit)
      model.control(first_bit + bit).checked = (value >> bit & 1) != 0;
  };
  const auto byte_text = [](uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return std::string(text);
  };
  const std::array<std::pair<const std::optional<std::string>*, int>, 3> fuses{{
      {&options_.fuse_low, ctl::FUSE_LOW_BIT0},
      {&options_.fuse_high, ctl::FUSE_HIGH_BIT0},
      {&options_.fuse_extended, ctl::FUSE_EXTENDED_BIT0},
  }};
  if (options_.command == Command::fuses) {
    bool writing = false;
    for (const auto& [wanted, first_bit] : fuses) {
      if (*wanted) {
        set_byte(first_bit, *parse_byte(**wanted));
        writing = true;
      }
    }
    if (writing) {
      if (click(model, logic, view, ctl::WRITE_FUSES)) return;
      // The dialog has read the chip again: the boxes hold what it took.
      for (const auto& [wanted, first_bit] : fuses) {
        if (*wanted && byte_of(first_bit) != *parse_byte(**wanted)) {
          fail("the fuse write did not take: the chip holds " + byte_text(byte_of(first_bit)) +
               " for " + byte_text(*parse_byte(**wanted)));
        }
      }
    }
  }
  if (options_.command == Command::lock) {
    set_byte(ctl::LOCK_BIT0, *parse_byte(options_.lock_value));
    if (click(model, logic, view, ctl::WRITE_LOCK)) return;
    if (failed_) {
      // Not confirmed: the boxes show the wish, not the chip.
      click(model, logic, view, ctl::OK_BUTTON);
      return;
    }
  }
  print_labelled(model, dlg::ATTINY_FUSES, ctl::SIGNATURE);
  print_labelled(model, dlg::ATTINY_FUSES, ctl::CALIBRATION_BYTE);
  if (options_.command != Command::id) {
    const std::string fuse_line = "low=" + byte_text(byte_of(ctl::FUSE_LOW_BIT0)) +
                                  " high=" + byte_text(byte_of(ctl::FUSE_HIGH_BIT0)) +
                                  " ext=" + byte_text(byte_of(ctl::FUSE_EXTENDED_BIT0));
    console_.labelled(model.control(ctl::FUSES_GROUP).text, ": ", from_utf8(fuse_line));
    console_.labelled(model.control(ctl::LOCK_GROUP).text, ": ",
                      from_utf8(byte_text(byte_of(ctl::LOCK_BIT0))));
  }
  click(model, logic, view, ctl::OK_BUTTON);
}

}  // namespace

int run_command(const CliOptions& options, Console& console) {
  if (options.command == Command::list) {
    print_catalogue(console.out());
    return EXIT_SUCCESS_STATUS;
  }
  Session session(options, console);
  return session.run();
}

}  // namespace fp::cli
