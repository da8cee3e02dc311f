#include "frontends/cli/cli_session.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "app/calibration.h"
#include "app/catalogue.h"
#include "app/chip_identity.h"
#include "app/chip_selection.h"
#include "app/data_operations.h"
#include "app/family_operations.h"
#include "app/socket_probe.h"
#include "app/write_planner.h"
#include "bus/number_text.h"
#include "frontends/cli/block_list.h"
#include "frontends/cli/board_connection.h"
#include "frontends/cli/checksum.h"
#include "frontends/cli/chip_backup.h"
#include "frontends/cli/chip_choice.h"
#include "frontends/cli/exit_status.h"
#include "frontends/cli/file_sum.h"
#include "frontends/cli/hex_number.h"
#include "frontends/cli/image_format.h"
#include "frontends/cli/image_staging.h"
#include "frontends/cli/json_text.h"
#include "frontends/cli/option_checks.h"
#include "frontends/cli/port_probe.h"
#include "frontends/cli/protection_hint.h"
#include "frontends/cli/run_log.h"
#include "frontends/cli/sim_socket.h"
#include "frontends/cli/verify_detail.h"
#include "frontends/headless/model_main_view.h"
#include "frontends/headless/window_host.h"
#include "frontends/headless/window_model.h"
#include "platform/posix/file_facts.h"
#include "platform/utf8.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp::cli {
namespace {

std::u16string one_line(std::u16string_view text) {
  std::u16string value;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, 2) == u"\r\n") {
      value += u' ';
      ++i;
    } else {
      value += text[i];
    }
  }
  return value;
}

// The words a family dialog's template gives a value: the static text just
// before it, or (a group box) its own.
std::u16string_view template_label(int template_id, int control_id) {
  const DialogTemplate* found = find_dialog_template(template_id);
  if (found == nullptr) return {};
  const ControlTemplate* previous = nullptr;
  for (const ControlTemplate& control : found->controls) {
    if (control.id == control_id) {
      if (control.kind == ControlKind::group_box) return control.text;
      return previous != nullptr ? previous->text : u"";
    }
    previous = &control;
  }
  return {};
}

std::string byte_text(uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

using headless::WindowModel;

class Session final : private headless::WindowHost {
 public:
  Session(const CliOptions& options, Console& console, posix::RunSignals& signals)
      : options_(options),
        console_(console),
        signals_(signals),
        outcome_(console),
        board_(console) {}
  int run();
  SocketLook look();
  // --log: what the run did, for its line; nothing when the log may not be written.
  [[nodiscard]] std::optional<RunLogLine> log_line(int status) const;

 private:
  // The program as it starts: the context on the board, with the main view the handlers report to.
  void start_program();

  void select_row();
  // The probe, then the row's ID; false (and why) when the run must stop.
  bool identity_confirmed();
  bool mismatch(const std::string& what);
  [[nodiscard]] std::string only_read_at_5v() const {
    return console_.pick("; the chip was only read at 5 V",
                         "; микросхема только прочитана при 5 В");
  }
  [[nodiscard]] std::string refused_read() const {
    return console_.pick("the chip refused the read", "микросхема не дала себя прочитать");
  }
  // The vpp_use bits of the command.
  [[nodiscard]] uint8_t voltage_uses() const;
  // No --chip: the row the probe names, or (id) the names alone.
  void choose_row();
  // Calibration only with nothing in the socket, as far as 5 V can tell:
  // the probe, not --yes, answers whether the chip is out.
  bool socket_empty();
  void calibrate_command();
  void erase_command();
  // What erase is asked to take: the whole chip, --block or --blocks; false
  // after saying why the choice names nothing the chip has.
  bool erase_request(EraseRequest& request);
  // --blocks on a block row ("all" without it): false after saying which item names no block.
  bool chosen_blocks(const std::string& wanted, std::vector<BlockRange>& blocks);
  void blank_command();
  void sdp_command();
  void fuses_command();
  void lock_command();
  [[nodiscard]] std::string no_fuses_text() const {
    const std::string name = to_utf8(context_->current_chip->name);
    return console_.pick("the " + name + " has no fuses or lock bits",
                         "у " + name + " нет фьюзов и лок-битов");
  }
  // The signature and calibration byte, then (but for id) fuses and lock bits.
  void say_chip_bytes(const AttinyBytes& bytes);
  // The lock byte read back: the lock bits must be as written.
  void check_lock_byte(uint8_t wanted, uint8_t found);
  // An erase or blank check whose result came as a value: said in the window's words.
  // What the operation came to, in the words given; a refusal in the row's own words.
  void say_block_outcome(const BlockOutcome& outcome, const char16_t* done, const char16_t* failed,
                         const char16_t* refused = text::NOT_IMPLEMENTED);
  // --backup: the whole chip into a new file before the command changes it.
  bool backed_up();
  void write_command();
  // --dry-run: what write and erase would do, the chip only read.
  void plan_write(const ImageSlice& slice);
  void plan_erase();
  // -v: the port traffic's time on the real board.
  void note_board_time();
  void note_page_reloads();
  // A failed write of pages that a protected chip ignores says so.
  void note_protection(uint32_t address, bool kept_old_bytes);
  void verify_command();
  // Reads the slice back and notes the first difference; nothing when the read was refused.
  std::optional<bool> say_where(const ImageSlice& slice);
  // A failed verify: which way the bits of the differing bytes must go.
  void note_bit_directions(const ImageSlice& slice, const std::vector<uint8_t>& chip);
  // --diff: every difference into its file, replaced whole; false after saying why not.
  bool write_differences(const ImageSlice& slice, const std::vector<uint8_t>& chip);
  // The sums of the slice as the chip now holds it (read back where the
  // image leaves bytes out).
  void say_sums(const ImageSlice& slice);
  void read_command();
  // id: maker, device and row, one shape for every family.
  void say_identity();
  // An operation's closing words, as the window's message box has them.
  void show_result(std::u16string_view text, bool done);
  void run_operation();
  void after_operation();

  // What the windows ask of the command line.
  int message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) override;
  void status_text(std::u16string_view text) override;
  // No file dialog: the file comes with the command.
  std::optional<std::u16string> open_file_dialog(const FileDialogRequest&) override {
    return std::nullopt;
  }
  // The command line calls the family operations itself: no dialog is shown.
  intptr_t run_dialog(int template_id, DialogLogic& logic) override;

  CliOptions options_;  // --chip filled in when the probe chose the row
  Console& console_;
  posix::RunSignals& signals_;
  RunOutcome outcome_;
  CheckedOptions checked_;
  BoardConnection board_;

  // The program.
  std::unique_ptr<WindowModel> main_model_;
  std::unique_ptr<headless::ModelMainView> main_view_;
  std::unique_ptr<ProgrammerContext> context_;
  std::unique_ptr<ImageStaging> image_;

  // The run.
  std::u16string last_status_;
  bool quiet_results_ = false;      // an erase inside a planned write
  std::vector<uint8_t> chip_read_;  // what say_where read
  // For the --log line.
  std::string answered_id_;
  std::optional<uint32_t> slice_crc_;
  bool log_refused_ = false;
};

int Session::run() {
  checked_ = check_options(options_, outcome_);
  if (outcome_.usage_error()) return outcome_.status();
  image_ = std::make_unique<ImageStaging>(options_, checked_, console_);
  if (!image_->read_standard_input(outcome_)) return outcome_.status();
  if (options_.port.empty()) {
    outcome_.fail(no_port_advice(console_.english()));
    return outcome_.status();
  }
  if (!options_.port_origin.empty()) console_.note(options_.port_origin);
  BoardConnection::RunFiles files;
  if (takes_file(options_.command)) files.image = options_.file;
  files.image_is_output = options_.command == Command::read;
  if (!board_.open(options_.port, options_.trace, files, outcome_)) return outcome_.status();
  if (!options_.log.empty()) {
    // Lines appended to the image, the board file or the trace would ruin them.
    const std::array<const std::string*, 4> others{&options_.file, &board_.store_path(),
                                                   &options_.trace, &options_.diff};
    for (const std::string* other : others) {
      if (!other->empty() && *other != "-" && posix::same_file(options_.log, *other)) {
        log_refused_ = true;
        outcome_.usage("--log " + options_.log +
                       console_.pick(": that file is already in use by this run",
                                     ": этот файл уже занят этим запуском"));
        board_.close(outcome_);
        return outcome_.status();
      }
    }
  }

  start_program();

  // Nothing is called done before the board is idle and its file saved.
  console_.defer_results();
  // As the program starts: the bus reset, then row 0 selected.
  context_->bus.bus_reset();
  select_chip(*context_, chip_catalogue()[0]);
  if (checked_.row == nullptr && chosen_by_probe(options_.command)) choose_row();
  if (checked_.row != nullptr && outcome_.ok()) select_row();
  // A change to the chip is not cut off halfway; a question waiting for the
  // operator still gives way to Ctrl-C.
  // With --log every run ends through here, so that its line is written.
  const bool holds =
      changes_chip(options_) || options_.command == Command::sdp || !options_.log.empty();
  if (holds) signals_.hold();
  console_.on_question([this](bool asking) {
    if (asking) {
      signals_.pause();
    } else {
      signals_.resume();
    }
  });
  // A signal held since before the command (a run inside the production loop)
  // stops it before it begins.
  const int early_signal = holds ? signals_.caught_so_far() : 0;
  if (early_signal == 0 && outcome_.ok() &&
      (checked_.row != nullptr || options_.command == Command::calibrate)) {
    run_operation();
  }
  after_operation();
  console_.end_progress();
  board_.close(outcome_);
  signals_.let_go();
  console_.on_question(nullptr);
  if (early_signal != 0) {
    console_.drop_deferred();
    console_.failure(console_.pick("interrupted (", "прервано (") +
                     posix::signal_name(early_signal) +
                     console_.pick(") before the command began: the chip was not changed",
                                   ") до начала команды: микросхема не изменена"));
    return 128 + early_signal;
  }
  // SIGPIPE or SIGXFSZ outside a change: the failed write says enough.
  if (const int signal = signals_.caught(); signal != 0 && holds) {
    console_.drop_deferred();
    console_.failure(console_.pick("interrupted (", "прервано (") + posix::signal_name(signal) +
                     console_.pick("); what was under way was finished first and the board left "
                                   "idle: check the chip (verify) before using it",
                                   "); начатое было доведено до конца, плата оставлена в покое: "
                                   "проверьте микросхему (verify), прежде чем её использовать"));
    return 128 + signal;
  }
  note_board_time();
  // A usage error is no result: the operation's closing word is not said.
  if (outcome_.usage_error()) console_.drop_deferred();
  console_.say_deferred();
  return outcome_.status();
}

void Session::start_program() {
  main_model_ = std::make_unique<WindowModel>(*find_dialog_template(dlg::MAIN));
  headless::WindowHost& host = *this;
  main_view_ = std::make_unique<headless::ModelMainView>(*main_model_, host);
  context_ = std::make_unique<ProgrammerContext>(board_.port(), board_.clock(), board_.priority(),
                                                 *main_view_, chip_catalogue()[0]);
  context_->chip_waits = options_.fixed_waits ? ChipWaits::fixed : ChipWaits::poll;
  context_->page_loads.now_us = board_.now_us();
  if (sim::FollowingSocket* socket = board_.socket()) {
    context_->chip_selected = [socket](const ChipDescriptor& row) {
      socket->follow(row.facts.model);
    };
  }
}

SocketLook Session::look() {
  checked_ = check_options(options_, outcome_);
  if (!outcome_.ok() || checked_.row == nullptr) return {SocketState::unknown, ""};
  if (!board_.open(options_.port, "", {}, outcome_)) return {SocketState::unknown, ""};
  start_program();
  context_->bus.bus_reset();
  select_chip(*context_, chip_catalogue()[0]);
  select_row();
  SocketLook seen{SocketState::unknown, ""};
  if (outcome_.ok()) {
    const SocketProbe probe = probe_socket(*context_);
    seen.what = probe_text(probe, console_.english());
    const bool holds = probe.answered() || (probe.dip32 && probe.dip32->holds_data()) ||
                       (probe.dip20 && probe.dip20->holds_data());
    seen.state = probe_confirms(probe, *checked_.row) ? SocketState::chip_of_row
                 : holds                              ? SocketState::other
                                                      : SocketState::empty;
  }
  // A look changes no chip: the board file is left as it was.
  board_.close(outcome_, false);
  if (!outcome_.ok()) seen.state = SocketState::unknown;
  return seen;
}

std::optional<RunLogLine> Session::log_line(int status) const {
  if (log_refused_) return std::nullopt;
  RunLogLine line;
  line.time = std::time(nullptr);
  line.port = options_.port;
  if (context_ && (checked_.row != nullptr)) line.row = to_utf8(context_->current_chip->name);
  line.id = answered_id_;
  line.operation = command_name(options_.command);
  if (takes_file(options_.command)) line.file = options_.file;
  line.crc32 = slice_crc_;
  line.result = status >= 128                   ? "interrupted"
                : status == EXIT_USAGE_STATUS   ? "usage"
                : status == EXIT_FAILURE_STATUS ? "failed"
                                                : "ok";
  if (const BoardTime* time = board_.board_time()) line.board_time_us = time->microseconds();
  line.exit_status = status;
  return line;
}

uint8_t Session::voltage_uses() const {
  switch (options_.command) {
    case Command::id:
      return vpp_use::IDENTIFY;
    case Command::read:
    case Command::verify:
      return vpp_use::READ;
    case Command::blank:
      return vpp_use::BLANK_CHECK;
    case Command::write:
      return options_.no_erase ? vpp_use::WRITE : vpp_use::WRITE | vpp_use::ERASE;
    case Command::erase:
      return vpp_use::ERASE;
    case Command::fuses:
    case Command::lock:
      return vpp_use::IDENTIFY | vpp_use::READ | vpp_use::WRITE;
    default:
      return 0;
  }
}

bool Session::mismatch(const std::string& what) {
  if (options_.force) {
    console_.note(what + console_.pick("; --force: going on", "; --force: продолжаем"));
    return true;
  }
  outcome_.fail(what + (changes_chip(options_)
                            ? console_.pick(" (--force goes on)", " (--force продолжит)")
                            : ""));
  return false;
}

bool Session::identity_confirmed() {
  const ChipDescriptor& row = *context_->current_chip;
  const std::string name = to_utf8(row.name);
  const SocketProbe probe = probe_socket(*context_);
  console_.detail(console_.pick("probe: ", "проба: ") + probe_text(probe, console_.english()));
  for (const auto& answer : {probe.dip32, probe.dip20}) {
    if (answer && answer->counts && answered_id_.empty()) answered_id_ = codes_text(answer->codes);
  }
  const std::string only_read = only_read_at_5v();
  const bool high_voltage_id = identifies_with_high_voltage(row);
  if ((high_voltage_id || (row.facts.vpp_operations & voltage_uses()) != 0)) {
    if (const auto harm = high_voltage_harm(probe, console_.english())) {
      // No option overrides this: the voltage would damage the chip.
      outcome_.fail(*harm +
                    console_.pick("; the " + name +
                                      " needs the programming voltage: refused, whatever --force "
                                      "says",
                                  "; " + name +
                                      " требует напряжения программирования: отказано, даже с "
                                      "--force") +
                    only_read);
      return false;
    }
  }
  const auto expected = expected_identity(row);
  const std::string wanted = console_.pick(
      "not the " + name + (expected.empty() ? "" : "'s " + codes_text(expected)),
      "это не " + name + (expected.empty() ? "" : " с кодом " + codes_text(expected)));
  if (!high_voltage_id) {
    if (!expected.empty() && probe_confirms(probe, row)) return true;
    return mismatch(probe_text(probe, console_.english()) + ", " + wanted + only_read);
  }
  if (const auto why = high_voltage_id_refusal(probe, row, console_.english())) {
    return mismatch(
        *why + ", " + wanted +
        console_.pick(" (its ID needs 12 V, not switched on while a chip answers at 5 V)",
                      " (её код читается при 12 В, а они не включаются, пока "
                      "микросхема отвечает при 5 В)") +
        only_read);
  }
  // Nothing answered at 5 V: the row's own ID, with 12 V on pin 1.
  const std::vector<uint8_t> found = read_identity(*context_, row);
  answered_id_ = codes_text(found);
  if (std::equal(found.begin(), found.end(), expected.begin(), expected.end())) return true;
  const bool nothing = std::all_of(found.begin(), found.end(),
                                   [](uint8_t code) { return code == 0xFF || code == 0x00; });
  return mismatch(
      (nothing ? console_.pick("nothing answers: an empty socket or bad contact",
                               "ничего не отвечает: панель пуста или плохой контакт")
               : console_.pick("the socket answers ", "в панели отвечает ") + codes_text(found)) +
      ", " + wanted +
      console_.pick("; the chip was read at 5 V, then its ID with 12 V on pin 1",
                    "; микросхема прочитана при 5 В, затем её код при 12 В на выводе 1"));
}

void Session::choose_row() {
  const SocketProbe probe = probe_socket(*context_);
  std::vector<const ChipDescriptor*> rows = probe.matches();
  std::string names;
  for (const ChipDescriptor* row : rows) {
    if (!names.empty()) names += ", ";
    names += to_utf8(row->name);
    if (*row->facts.aliases != '\0') names += std::string(" (") + row->facts.aliases + ")";
  }
  if (options_.command == Command::id) {
    if (rows.empty()) {
      std::string high_voltage_rows;
      for (const ChipDescriptor& row : catalogue_rows()) {
        if (!identifies_with_high_voltage(row)) continue;
        if (!high_voltage_rows.empty()) high_voltage_rows += ", ";
        high_voltage_rows += to_utf8(row.name);
      }
      outcome_.fail(probe_text(probe, console_.english()) +
                    console_.pick("; a 12 V part (" + high_voltage_rows +
                                      ") gives no ID at 5 V: name its row with --chip",
                                  "; микросхема на 12 В (" + high_voltage_rows +
                                      ") не выдаёт код при 5 В: укажите её строку через --chip"));
      return;
    }
    if (options_.json) {
      // The first answer that counts, and the rows it names.
      for (const SocketAnswer* answer :
           {probe.answer_in(SocketKind::dip32), probe.answer_in(SocketKind::dip20)}) {
        if (answer == nullptr || !answer->counts || answer->rows.empty()) continue;
        std::vector<std::string> row_names;
        for (const ChipDescriptor* row : answer->rows) row_names.push_back(to_utf8(row->name));
        const std::span<const uint8_t> codes(answer->codes);
        console_.out() << "{\"maker\": " << json_string(codes_text(codes.first(1)))
                       << ", \"device\": " << json_string(codes_text(codes.subspan(1)))
                       << ", \"rows\": " << json_strings(row_names) << "}\n";
        return;
      }
    }
    console_.out() << probe_text(probe, console_.english()) << '\n';
    return;
  }
  if (rows.size() != 1) {
    outcome_.fail(console_.pick("which chip? ", "какая микросхема? ") +
                  probe_text(probe, console_.english()) +
                  (rows.empty() ? ""
                                : console_.pick("; more than one row answers so",
                                                "; такой ответ подходит нескольким строкам")) +
                  console_.pick(": give --chip NAME (see: programmer list)",
                                ": укажите --chip ИМЯ (см. programmer list)") +
                  only_read_at_5v());
    return;
  }
  options_.chip = to_utf8(rows.front()->name);
  checked_ = check_options(options_, outcome_);
  console_.note(console_.pick("the socket holds the " + names + ": using that row",
                              "в панели " + names + ": используется эта строка"));
}

bool Session::socket_empty() {
  const SocketProbe probe = probe_socket(*context_);
  const bool holds = probe.answered() || (probe.dip32 && probe.dip32->holds_data()) ||
                     (probe.dip20 && probe.dip20->holds_data());
  if (holds) {
    outcome_.fail(console_.pick("calibrate switches the programming voltage on and needs an "
                                "empty socket: ",
                                "calibrate включает напряжение программирования, панель должна "
                                "быть пуста: ") +
                  probe_text(probe, console_.english()) + only_read_at_5v());
    return false;
  }
  console_.note(console_.pick("the socket is empty: nothing answers at 5 V",
                              "панель пуста: при 5 В ничего не отвечает"));
  return true;
}

void Session::calibrate_command() {
  // The probe, not the operator, says whether the socket is empty.
  class ProbedSteps final : public BoxedCalibrationSteps {
   public:
    explicit ProbedSteps(Session& session)
        : BoxedCalibrationSteps(session.context_->main_view.dialog()), session_(session) {}
    bool socket_empty() override { return session_.socket_empty(); }

   private:
    Session& session_;
  };
  ProbedSteps steps(*this);
  calibrate(*context_, steps);
}

bool Session::backed_up() {
  if (options_.backup.empty()) return true;
  console_.progress_range(0, context_->chip_size);
  context_->bus.progress_prefix = text::READING;
  const auto chip = read_chip(*context_, 0, context_->chip_size);
  context_->bus.progress_prefix = nullptr;
  console_.end_progress();
  const std::optional<std::string> error =
      chip ? save_backup(options_.backup, *chip, console_.english()) : refused_read();
  if (error) {
    outcome_.fail("--backup: " + *error +
                  console_.pick("; the chip was not touched", "; микросхема не затронута"));
    return false;
  }
  console_.note(console_.pick("the chip's old contents are saved in ",
                              "прежнее содержимое микросхемы сохранено в ") +
                options_.backup);
  return true;
}

void Session::write_command() {
  if (context_->current_chip->slots.on_write == nullptr) {
    context_->main_view.dialog().message_box(text::NOT_IMPLEMENTED, nullptr, mb::ICON_INFORMATION);
    return;
  }
  const auto slice = image_->load_slice(*context_, outcome_);
  if (!slice) return;
  slice_crc_ = checksum(slice->bytes).crc32;
  if (options_.dry_run) {
    plan_write(*slice);
    return;
  }
  if (!backed_up()) return;
  console_.progress_range(slice->start, static_cast<uint32_t>(slice->bytes.size()));
  if (options_.no_erase) {
    // The window's plain write: the whole slice programmed, bytes the image
    // leaves out as erased ones, then verified.
    std::vector<uint8_t> bytes = slice->bytes;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (!slice->held[i]) bytes[i] = 0xFF;
    }
    const WriteOutcome written = write_and_verify(*context_, bytes.data(), slice->start,
                                                  static_cast<uint32_t>(bytes.size()));
    show_result(written == WriteOutcome::written ? text::WRITE_DONE : text::WRITE_ERROR,
                written == WriteOutcome::written);
    note_page_reloads();
    if (written == WriteOutcome::written) {
      say_sums(*slice);
      return;
    }
    // The plain write reads nothing before: whether the pages changed is not known.
    if (const auto equal = say_where(*slice); equal && !*equal) {
      note_protection(slice->start, false);
    }
    return;
  }
  WritePlanner planner(
      *context_, [this](std::string_view why) { outcome_.fail(why); },
      [this](bool quiet) { quiet_results_ = quiet; }, console_.english());
  const bool written = planner.write(*slice);
  console_.end_progress();
  note_page_reloads();
  const WriteReport& report = planner.report();
  if (!report.erased.empty()) {
    console_.detail(console_.pick("erased: ", "стёрто: ") + ranges_text(report.erased));
  }
  if (report.rescue) {
    const SavedRescue saved = save_rescue(options_.file, *report.rescue, console_.english());
    outcome_.fail(rescue_text(saved, *report.rescue, to_utf8(context_->current_chip->name),
                              console_.english()));
  }
  if (!written && report.wrong_units_unchanged) note_protection(slice->start, true);
  if (written && report.programmed_bytes == 0 && report.erased_bytes == 0) {
    console_.note(console_.pick("the chip already holds the image: nothing programmed",
                                "микросхема уже содержит образ: ничего не запрограммировано"));
  } else if (written && console_.english()) {
    std::string summary = std::to_string(report.programmed_bytes) + " bytes programmed";
    if (report.erased_bytes != 0) {
      summary += ", " + hex(report.erased_bytes) + " bytes erased, " +
                 std::to_string(report.restored_bytes) + " bytes outside the slice put back";
    }
    console_.note(summary);
  } else if (written) {
    std::string summary = "запрограммировано байтов: " + std::to_string(report.programmed_bytes);
    if (report.erased_bytes != 0) {
      summary += ", стёрто байтов: " + hex(report.erased_bytes) +
                 ", возвращено байтов вне среза: " + std::to_string(report.restored_bytes);
    }
    console_.note(summary);
  }
  show_result(written ? text::WRITE_DONE : text::WRITE_ERROR, written);
  if (written) say_sums(*slice);
}

void Session::say_sums(const ImageSlice& slice) {
  slice_crc_ = checksum(slice.bytes).crc32;
  const bool whole =
      std::all_of(slice.held.begin(), slice.held.end(), [](bool held) { return held; });
  if (whole) {
    console_.result_line(checksum_text(checksum(slice.bytes)));
    return;
  }
  const auto chip = read_chip(*context_, slice.start, static_cast<uint32_t>(slice.bytes.size()));
  if (!chip) return;
  const Checksum sums = checksum(*chip);
  slice_crc_ = sums.crc32;
  console_.result_line(checksum_text(sums));
}

void Session::plan_write(const ImageSlice& slice) {
  const uint32_t size = static_cast<uint32_t>(slice.bytes.size());
  const bool english = console_.english();
  if (options_.no_erase) {
    // The window's plain write reads nothing first: it programs the whole slice.
    console_.result_line(
        (english ? "plan: no erase; program " + std::to_string(size) + " bytes at "
                 : "план: без стирания; запрограммировать байтов: " + std::to_string(size) +
                       ", с адреса ") +
        address_text(slice.start) +
        (english ? "; nothing changed (--dry-run)" : "; ничего не изменено (--dry-run)"));
    return;
  }
  WritePlanner planner(
      *context_, [this](std::string_view why) { outcome_.fail(why); }, [](bool) {},
      console_.english());
  console_.progress_range(slice.start, size);
  const auto plan = planner.plan(slice);
  console_.end_progress();
  if (!plan) return;
  const std::string erase = plan->erase.empty()
                                ? console_.pick("no erase", "без стирания")
                                : console_.pick("erase ", "стереть ") + ranges_text(plan->erase);
  console_.result_line(
      english ? "plan: " + std::to_string(plan->slice_differs) + " bytes of the slice differ; " +
                    erase + "; program " + std::to_string(plan->program_bytes) + " bytes, " +
                    std::to_string(plan->put_back_bytes) +
                    " of them outside the slice, kept by putting them back after the erase; "
                    "nothing changed (--dry-run)"
              : "план: байтов среза отличается: " + std::to_string(plan->slice_differs) + "; " +
                    erase + "; запрограммировать байтов: " + std::to_string(plan->program_bytes) +
                    ", из них вне среза (сохраняются, возвращаются после стирания): " +
                    std::to_string(plan->put_back_bytes) + "; ничего не изменено (--dry-run)");
}

void Session::plan_erase() {
  // The plan takes what the erase itself would take, and refuses what it would refuse.
  EraseRequest request;
  if (!erase_request(request)) return;
  const ChipDescriptor& row = *context_->current_chip;
  std::vector<AddressRange> ranges;
  const bool every_block =
      request.scope == EraseScope::blocks && request.blocks.size() == row.facts.erase_map.size();
  if (request.scope == EraseScope::whole_chip || every_block) {
    ranges.push_back({0, context_->chip_size});
  } else if (request.scope == EraseScope::blocks) {
    for (const BlockRange& block : request.blocks) {
      ranges.push_back({block.address, block.address + block.size});
    }
  } else {
    for (const BlockRange& sector : row.facts.erase_map) {
      if (sector.address == request.sector) {
        ranges.push_back({sector.address, sector.address + sector.size});
      }
    }
  }
  uint64_t not_blank = 0;
  for (const AddressRange& range : ranges) {
    context_->bus.progress_prefix = text::READING;
    const auto chip = read_chip(*context_, range.start, range.end - range.start);
    context_->bus.progress_prefix = nullptr;
    if (!chip) {
      outcome_.fail(refused_read());
      return;
    }
    not_blank += static_cast<uint64_t>(
        std::count_if(chip->begin(), chip->end(), [](uint8_t b) { return b != 0xFF; }));
  }
  console_.end_progress();
  console_.result_line(
      console_.english() ? "plan: erase " + ranges_text(ranges) + " (" + std::to_string(not_blank) +
                               " bytes not blank now); nothing changed (--dry-run)"
                         : "план: стереть " + ranges_text(ranges) + " (сейчас не чистых байтов: " +
                               std::to_string(not_blank) + "); ничего не изменено (--dry-run)");
}

void Session::note_board_time() {
  const BoardTime* time = board_.board_time();
  if (time == nullptr || !console_.verbose()) return;
  if (context_ && context_->long_polls.count != 0) {
    const LongPolls& polls = context_->long_polls;
    console_.detail(console_.english()
                        ? std::to_string(polls.count) + (polls.count == 1 ? " poll" : " polls") +
                              " ran long (past the back-to-back reads into sleeps), the longest "
                              "sleeping " +
                              std::to_string(polls.longest_ms) + " ms"
                        : "долгих опросов готовности (дольше опросов подряд, со сном): " +
                              std::to_string(polls.count) + ", самый долгий спал " +
                              std::to_string(polls.longest_ms) + " мс");
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(time->microseconds()) / 1e6);
  console_.detail(console_.english()
                      ? std::string("board time ") + seconds + " s (" +
                            std::to_string(time->accesses()) + " port accesses, " +
                            std::to_string(time->waited_ms()) + " ms of waits)"
                      : std::string("время на плате ") + seconds +
                            " с (обращений к порту: " + std::to_string(time->accesses()) +
                            ", ожидание " + std::to_string(time->waited_ms()) + " мс)");
}

void Session::note_page_reloads() {
  const uint32_t reloads = context_->page_loads.reloads;
  if (reloads == 0) return;
  if (!console_.english()) {
    console_.note("страниц загружено повторно: " + std::to_string(reloads) +
                  " (загрузка превысила предел загрузки байтов микросхемы)");
    return;
  }
  console_.note(std::to_string(reloads) + (reloads == 1 ? " page was" : " pages were") +
                " loaded again: the load ran over the chip's byte-load limit");
}

void Session::note_protection(uint32_t address, bool kept_old_bytes) {
  if (const auto hint = protection_hint(*context_, address, kept_old_bytes, console_.english())) {
    console_.note(*hint);
  }
}

bool Session::chosen_blocks(const std::string& wanted, std::vector<BlockRange>& blocks) {
  const ChipDescriptor& row = *context_->current_chip;
  const std::string name = to_utf8(row.name);
  const BlockList list = parse_block_list(wanted, row.facts.erase_map);
  if (list.unknown) {
    outcome_.usage(
        console_.pick("no block at " + *list.unknown + "; the blocks of the " + name,
                      "ни один блок не начинается с " + *list.unknown + "; блоки " + name) +
        ":" + block_starts(row.facts.erase_map));
    return false;
  }
  if (list.blocks.empty()) {
    outcome_.usage(console_.pick("--blocks needs all or a list of block addresses",
                                 "для --blocks нужно all или список адресов блоков"));
    return false;
  }
  blocks = list.blocks;
  return true;
}

bool Session::erase_request(EraseRequest& request) {
  const ChipDescriptor& row = *context_->current_chip;
  if (row.facts.erase == EraseLayout::blocks) {
    if (!options_.blocks) {
      const std::string name = to_utf8(row.name);
      outcome_.usage(
          console_.pick("the " + name + " erases by blocks: give --blocks all or a list of:",
                        name + " стирается по блокам: укажите --blocks all или список из:") +
          block_starts(row.facts.erase_map));
      return false;
    }
    request.scope = EraseScope::blocks;
    return chosen_blocks(*options_.blocks, request.blocks);
  }
  if (options_.block && *options_.block != "chip") {
    request.scope = EraseScope::sector;
    request.sector = *parse_free_hex(*options_.block);  // a sector start: checked
  }
  return true;
}

void Session::say_block_outcome(const BlockOutcome& outcome, const char16_t* done,
                                const char16_t* failed, const char16_t* refused) {
  DialogView& window = context_->main_view.dialog();
  switch (outcome.status) {
    case OperationStatus::refused:
      window.message_box(refused, nullptr, mb::ICON_INFORMATION);
      return;
    case OperationStatus::done:
      last_status_.clear();  // the progress is not the result
      if (done != nullptr) console_.result(done);
      return;
    case OperationStatus::failed:
      window.message_box(failed, nullptr, mb::ICON_ERROR);
      return;
  }
}

void Session::erase_command() {
  if (options_.dry_run) {
    plan_erase();
    return;
  }
  EraseRequest request;
  if (!erase_request(request)) return;
  if (!backed_up()) return;
  const ChipDescriptor& row = *context_->current_chip;
  AddressRange erased{0, context_->chip_size};
  if (request.scope == EraseScope::sector) {
    for (const BlockRange& sector : row.facts.erase_map) {
      if (sector.address == request.sector) erased = {sector.address, sector.address + sector.size};
    }
  }
  if (erase_asks_first(row) &&
      context_->main_view.dialog().message_box(text::ERASE_QUESTION, text::PROGRAMMER,
                                               mb::YESNO | mb::ICON_INFORMATION) != answer::YES) {
    return;
  }
  // Chips that cannot report how an erase went, and AT49F polls that take
  // "nothing happened" for "done": what was erased is checked blank before
  // it is called done. The window's fixed waits poll nothing, and keep the
  // window's traffic exactly.
  const ChipDriver driver = row.facts.driver;
  const bool unreported = (driver == ChipDriver::byte_program && !options_.fixed_waits) ||
                          driver == ChipDriver::at89c_serial || driver == ChipDriver::attiny_flash;
  console_.progress_range(erased.start, erased.end - erased.start);
  console_.progress(text::ERASING);
  say_block_outcome(erase(*context_, request), unreported ? nullptr : text::ERASE_DONE,
                    text::ERASE_ERROR, erase_refusal(row));
  if (!outcome_.ok() || !unreported) return;
  context_->bus.progress_prefix = text::READING;
  const auto chip = read_chip(*context_, erased.start, erased.end - erased.start);
  context_->bus.progress_prefix = nullptr;
  console_.end_progress();
  const std::string range = ranges_text({erased});
  if (!chip) {
    outcome_.fail(console_.pick("the chip refused the read of the blank check of ",
                                "микросхема не дала прочитать для проверки чистоты ") +
                  range);
    return;
  }
  const auto left = std::find_if(chip->begin(), chip->end(), [](uint8_t b) { return b != 0xFF; });
  if (left != chip->end()) {
    const uint32_t address = erased.start + static_cast<uint32_t>(left - chip->begin());
    char held[8];
    std::snprintf(held, sizeof held, "%02X", *left);
    const auto left_bytes = std::count_if(left, chip->end(), [](uint8_t b) { return b != 0xFF; });
    const std::string count = std::to_string(left_bytes);
    outcome_.fail(console_.english()
                      ? "the erase of " + range + " said it was done, but " +
                            address_text(address) + " holds " + held + "; " + count +
                            (left_bytes == 1 ? " byte is not blank" : " bytes are not blank")
                      : "стирание " + range + " сообщило о завершении, но по адресу " +
                            address_text(address) + " записано " + held +
                            "; не чистых байтов: " + count);
    context_->main_view.dialog().message_box(text::ERASE_ERROR, text::PROGRAMMER, mb::ICON_ERROR);
    return;
  }
  console_.result(text::ERASE_DONE);
  console_.note(console_.pick("erased and checked blank: ", "стёрто и проверено на чистоту: ") +
                range);
}

void Session::check_lock_byte(uint8_t wanted, uint8_t found) {
  constexpr uint8_t LOCK_BITS = 0x03;  // LB1, LB2; the other bits read as 1
  if ((found & LOCK_BITS) == (wanted & LOCK_BITS)) return;
  last_status_.clear();
  const bool erase_needed = (wanted & ~found & LOCK_BITS) != 0;
  outcome_.fail(console_.pick(
      "the lock byte reads " + byte_text(found) + ", not the " + byte_text(wanted) + " written" +
          (erase_needed ? ": lock bits are cleared only by a chip erase "
                          "(programmer erase)"
                        : ": the chip did not take it"),
      "байт лок-битов читается как " + byte_text(found) + ", а записан " + byte_text(wanted) +
          (erase_needed ? ": лок-биты снимает только стирание микросхемы "
                          "(programmer erase)"
                        : ": микросхема его не приняла")));
}

void Session::blank_command() {
  std::vector<BlockRange> blocks;
  if (context_->current_chip->facts.erase == EraseLayout::blocks &&
      !chosen_blocks(options_.blocks.value_or("all"), blocks)) {
    return;
  }
  console_.progress_range(0, context_->chip_size);
  // Blocks checked are blocks "checked"; a whole chip checked is "erased".
  const char16_t* done = blocks.empty() ? text::BLANK : text::CHECK_DONE;
  say_block_outcome(blank_check(*context_, blocks), done, text::NOT_BLANK);
}

void Session::sdp_command() {
  if (!set_protection(*context_, options_.sdp_on)) {
    const std::string name = to_utf8(context_->current_chip->name);
    outcome_.usage(console_.pick("the " + name + " has no software data protection",
                                 "у " + name + " нет программной защиты данных"));
  }
}

void Session::say_chip_bytes(const AttinyBytes& bytes) {
  const std::string signature = byte_text(bytes.signature[0]) + " " +
                                byte_text(bytes.signature[1]) + " " + byte_text(bytes.signature[2]);
  console_.labelled(template_label(dlg::ATTINY_FUSES, ctl::SIGNATURE), " ", from_utf8(signature));
  console_.labelled(template_label(dlg::ATTINY_FUSES, ctl::CALIBRATION_BYTE), " ",
                    from_utf8(byte_text(bytes.calibration)));
  if (options_.command == Command::id) return;
  const std::string fuses = "low=" + byte_text(bytes.fuses.low) +
                            " high=" + byte_text(bytes.fuses.high) +
                            " ext=" + byte_text(bytes.fuses.extended);
  console_.labelled(template_label(dlg::ATTINY_FUSES, ctl::FUSES_GROUP), ": ", from_utf8(fuses));
  console_.labelled(template_label(dlg::ATTINY_FUSES, ctl::LOCK_GROUP), ": ",
                    from_utf8(byte_text(bytes.lock)));
}

void Session::fuses_command() {
  const auto byte_of = [](const std::optional<std::string>& option) -> std::optional<uint8_t> {
    if (!option) return std::nullopt;
    return *parse_byte(*option);  // checked with the options
  };
  const FuseChange change{byte_of(options_.fuse_low), byte_of(options_.fuse_high),
                          byte_of(options_.fuse_extended)};
  const std::string no_fuses = no_fuses_text();
  if (!change.low && !change.high && !change.extended) {
    const auto bytes = read_fuses(*context_);
    if (!bytes) {
      outcome_.usage(no_fuses);
      return;
    }
    say_chip_bytes(*bytes);
    return;
  }
  const auto written = write_fuses(*context_, change);
  if (!written) {
    outcome_.usage(no_fuses);
    return;
  }
  const FuseBytes& held = written->after.fuses;
  const std::array<std::pair<std::optional<uint8_t>, uint8_t>, 3> bytes{{
      {change.low, held.low},
      {change.high, held.high},
      {change.extended, held.extended},
  }};
  // A programmed LB1 locks the fuses as well as the memories, until a chip erase.
  const bool locked = (written->before.lock & 0x01) == 0;
  for (const auto& [wanted, found] : bytes) {
    if (wanted && *wanted != found) {
      outcome_.fail(console_.pick("the fuse write did not take: the chip holds " +
                                      byte_text(found) + " for " + byte_text(*wanted) +
                                      (locked ? ": lock bit LB1 is programmed, and only a chip "
                                                "erase (programmer erase) clears it"
                                              : ""),
                                  "запись фьюзов не прошла: микросхема хранит " + byte_text(found) +
                                      " вместо " + byte_text(*wanted) +
                                      (locked ? ": запрограммирован лок-бит LB1, его снимает "
                                                "только стирание микросхемы (programmer erase)"
                                              : "")));
    }
  }
  say_chip_bytes(written->after);
}

void Session::lock_command() {
  const uint8_t wanted = *parse_byte(options_.lock_value);  // checked with the options
  // Programmed lock bits come back only with a chip erase: the window's question.
  const int answer = context_->main_view.dialog().message_box(
      text::ARE_YOU_SURE, text::PROGRAMMER, mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2);
  if (answer != answer::YES) return;
  const auto written = write_lock(*context_, wanted);
  if (!written) {
    outcome_.usage(no_fuses_text());
    return;
  }
  say_chip_bytes(written->after);
  check_lock_byte(wanted, written->after.lock);
}

std::optional<bool> Session::say_where(const ImageSlice& slice) {
  context_->bus.progress_prefix = text::VERIFYING;
  const auto chip = read_chip(*context_, slice.start, static_cast<uint32_t>(slice.bytes.size()));
  context_->bus.progress_prefix = nullptr;
  console_.end_progress();
  if (!chip) {
    outcome_.fail(refused_read());
    return std::nullopt;
  }
  const auto difference = first_difference(slice, *chip, slice.start);
  // Part of the failure: said under -q too.
  if (difference) console_.failure(difference_text(*difference, console_.english()));
  chip_read_ = *chip;
  return !difference.has_value();
}

void Session::note_bit_directions(const ImageSlice& slice, const std::vector<uint8_t>& chip) {
  const BitDirections bits = bit_directions(slice, chip);
  std::string text;
  if (console_.english()) {
    text = std::to_string(bits.to_raise) + (bits.to_raise == 1 ? " byte needs" : " bytes need") +
           " bits raised (0 on the chip, 1 in the file: the region needs an erase), " +
           std::to_string(bits.to_clear) + (bits.to_clear == 1 ? " byte needs" : " bytes need") +
           " bits cleared (1 on the chip, 0 in the file: not programmed, or a weak cell)";
  } else {
    text = "поднять биты (на микросхеме 0, в файле 1: нужно стирание) — байтов: " +
           std::to_string(bits.to_raise) +
           "; сбросить биты (на микросхеме 1, в файле 0: не запрограммировано или слабая ячейка) "
           "— байтов: " +
           std::to_string(bits.to_clear);
  }
  console_.failure(text);
}

bool Session::write_differences(const ImageSlice& slice, const std::vector<uint8_t>& chip) {
  try {
    write_fresh_file(options_.diff, difference_lines(slice, chip), console_.english());
  } catch (const ImageError& error) {
    outcome_.fail("--diff: " + std::string(error.what()));
    return false;
  }
  return true;
}

void Session::verify_command() {
  if (!options_.diff.empty()) {
    // The list replaces its file whole: never the image, the board or the trace.
    const std::array<const std::string*, 3> others{&options_.file, &board_.store_path(),
                                                   &options_.trace};
    for (const std::string* other : others) {
      if (!other->empty() && *other != "-" && posix::same_file(options_.diff, *other)) {
        outcome_.usage("--diff " + options_.diff +
                       std::string(console_.pick(": that file is ", ": это файл ")) +
                       (other == &options_.file    ? console_.pick("the image", "образа")
                        : other == &options_.trace ? console_.pick("the trace", "трассы")
                                                   : console_.pick("the board's", "платы")));
        return;
      }
    }
  }
  const auto slice = image_->load_slice(*context_, outcome_);
  if (!slice) return;
  slice_crc_ = checksum(slice->bytes).crc32;
  console_.progress_range(slice->start, static_cast<uint32_t>(slice->bytes.size()));
  const auto equal = say_where(*slice);
  if (!equal) return;
  if (!*equal) note_bit_directions(*slice, chip_read_);
  if (!options_.diff.empty() && !write_differences(*slice, chip_read_)) return;
  show_result(*equal ? text::DATA_EQUAL : text::COMPARE_ERROR, *equal);
  if (*equal) say_sums(*slice);
}

void Session::read_command() {
  if (options_.file == "-") console_.keep_output_for_data();
  image_->prepare_read();
  const uint32_t start = checked_.chip_offset;
  const uint32_t length = checked_.slice_length();
  console_.progress_range(start, length);
  std::vector<uint8_t> bytes(length);
  // A refused read has said why; nothing of the chip is saved.
  if (read_slice(*context_, bytes.data(), start, length) == ReadResult::refused) return;
  if (!image_->save_read(bytes, outcome_)) return;
  show_result(text::FILE_SAVED, true);
  const Checksum sums = checksum(bytes);
  slice_crc_ = sums.crc32;
  console_.result_line(checksum_text(sums));
}

void Session::say_identity() {
  // The ID was confirmed before the operation: the row's own codes answered.
  const ChipDescriptor& row = *context_->current_chip;
  const auto codes = expected_identity(row);
  if (codes.empty()) return;
  const std::string maker = codes_text(codes.first(1));
  const std::string device = codes_text(codes.subspan(1));
  if (options_.json) {
    console_.line("{\"maker\": " + json_string(maker) + ", \"device\": " + json_string(device) +
                  ", \"rows\": " + json_strings({to_utf8(row.name)}) + "}");
    return;
  }
  console_.line("maker: " + maker);
  console_.line("device: " + device);
  console_.line("row: " + to_utf8(row.name));
}

void Session::select_row() {
  select_chip(*context_, *checked_.row);
}

void Session::show_result(std::u16string_view text, bool done) {
  message_box(text, text::PROGRAMMER, done ? mb::OK : mb::ICON_ERROR);
}

void Session::run_operation() {
  const bool touches_chip = options_.command != Command::list &&
                            options_.command != Command::probe &&
                            options_.command != Command::calibrate;
  if (touches_chip && !identity_confirmed()) return;
  switch (options_.command) {
    case Command::list:
    case Command::probe:
    case Command::sim:
    case Command::sum:
      break;
    case Command::read:
      read_command();
      break;
    case Command::write:
      write_command();
      break;
    case Command::verify:
      verify_command();
      break;
    case Command::blank:
      blank_command();
      break;
    case Command::erase:
      erase_command();
      break;
    case Command::id:
      // The codes the identity check confirmed, in one shape for every family.
      say_identity();
      break;
    case Command::sdp:
      sdp_command();
      break;
    case Command::fuses:
      fuses_command();
      break;
    case Command::lock:
      lock_command();
      break;
    case Command::calibrate:
      calibrate_command();
      break;
  }
}

void Session::after_operation() {
  // A closing status text is the only word some operations leave; a run
  // refused for its options, or one that failed, has no result: the window
  // closes a blank check that found bytes with "check finished" all the same.
  if (outcome_.ok() && !last_status_.empty() && !progress_address(last_status_) &&
      !last_status_.ends_with(u' ')) {
    console_.result(last_status_);
  }
}

void Session::status_text(std::u16string_view text) {
  last_status_ = text;
  console_.progress(text);
}

int Session::message_box(std::u16string_view text, const char16_t* caption, uint32_t flags) {
  const bool question = (flags & 0xF) == mb::YESNO;
  if (question) {
    const auto yes = console_.ask(text, (flags & mb::DEFBUTTON2) == 0);
    if (!yes) {
      outcome_.fail(
          console_.pick("no answer: standard input is not a terminal (--yes answers yes)",
                        "нет ответа: стандартный ввод не терминал (--yes отвечает «да»)"));
      return answer::NO;
    }
    if (!*yes) outcome_.fail("");
    return *yes ? answer::YES : answer::NO;
  }
  const MessageKind kind = message_kind(text, flags);
  outcome_.take(kind);
  if (quiet_results_ && kind == MessageKind::result) return answer::OK;
  if (kind == MessageKind::failure || kind == MessageKind::usage) {
    console_.error(text);
  } else if (kind == MessageKind::hold) {
    console_.hold(text);
  } else if (caption != nullptr && std::u16string_view(caption) != text::PROGRAMMER) {
    // The caption names what the text holds: "Тип микросхемы: 89 94", the
    // codes two digits each; the timer's count stays as it is.
    const bool codes = std::u16string_view(caption) == text::CHIP_TYPE;
    console_.labelled(caption, ": ", codes ? two_digit_codes(text) : one_line(text));
  } else {
    console_.result(text);
  }
  return answer::OK;
}

intptr_t Session::run_dialog(int template_id, DialogLogic&) {
  // Not opened, so nothing of it ran: the chip was not touched by it.
  outcome_.fail(console_.pick("dialog ", "диалог ") + std::to_string(template_id) +
                console_.pick(" is not for the command line", " не для командной строки"));
  return -1;
}

}  // namespace

int run_command(const CliOptions& options, Console& console, posix::RunSignals& signals) {
  if (options.command == Command::list) {
    if (options.json) {
      print_catalogue_json(console.out());
      return EXIT_SUCCESS_STATUS;
    }
    print_catalogue(console.out(), console.english());
    return EXIT_SUCCESS_STATUS;
  }
  if (options.command == Command::probe) return run_probe(options, console);
  if (options.command == Command::sim) return run_sim_command(options, console);
  if (options.command == Command::sum) return run_sum(options, console);
  RunLogFile log;
  if (!options.log.empty()) {
    if (const auto error = log.open(options.log, console.english())) {
      console.failure(*error +
                      console.pick("; the chip was not touched", "; микросхема не тронута"));
      return EXIT_FAILURE_STATUS;
    }
  }
  Session session(options, console, signals);
  const int status = session.run();
  if (options.log.empty()) return status;
  const auto line = session.log_line(status);
  if (!line) return status;
  if (const auto error = log.append(run_log_text(*line))) {
    console.failure(*error);
    if (status == EXIT_SUCCESS_STATUS) return EXIT_FAILURE_STATUS;
  }
  return status;
}

SocketLook look_into_socket(const CliOptions& options, Console& console,
                            posix::RunSignals& signals) {
  Session session(options, console, signals);
  return session.look();
}

}  // namespace fp::cli
