#include "tests/win32/driver/script_player.h"

#include <shlobj.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <variant>

#include "frontends/headless/quoting.h"
#include "frontends/win32/port_argument.h"
#include "frontends/win32/sim_hooks.h"
#include "frontends/win32/wait_cursor.h"
#include "frontends/win32/win32_dialog_view.h"
#include "platform/utf8.h"
#include "tests/win32/driver/message_box_reader.h"
#include "tests/win32/driver/remote_window.h"
#include "tests/win32/driver/screen_capture.h"
#include "ui/control_ids.h"
#include "ui/dialog_templates.h"
#include "ui/message_box.h"

namespace fp::driver {
namespace {

constexpr DWORD RESPONSE_TIMEOUT_MS = 60000;
// The program shows nothing new for this long: it hangs. An operation that
// keeps the board's clock going is waited for by board time instead.
constexpr DWORD SETTLE_TIMEOUT_MS = 90000;
// Far above the board time of any operation of the program: one that spends
// more is stuck in a loop on the board.
constexpr uint64_t OPERATION_BOARD_TIME_LIMIT_US = uint64_t{30} * 60 * 1000000;
constexpr DWORD EXIT_TIMEOUT_MS = 20000;
// A program that takes no input marks (programmer.exe): a posted key's
// effect is awaited this long.
constexpr int KEY_EFFECT_POLLS = 300;
constexpr DWORD KEY_EFFECT_POLL_MS = 10;
// File name box of the common open dialog (combo box, or edit in older layouts).
constexpr int FILE_NAME_COMBO = 0x47C;
constexpr int FILE_NAME_EDIT = 0x480;
// The file type list and the read-only check box of the common open dialog.
constexpr int FILE_TYPE_LIST = 0x470;
constexpr int READ_ONLY_BOX = 0x410;
// The system menu's "О программе...".
constexpr WPARAM ABOUT_COMMAND = 0x0010;
// How long "start" waits for the program to become busy.
constexpr DWORD BUSY_TIMEOUT_MS = 10000;
// "filedialog show": describe the dialog instead of answering it.
constexpr wchar_t SHOW_FILE_DIALOG[] = L"\x01show";

std::wstring wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::wstring wide_utf8(const std::string& text) {
  return wide(from_utf8(text));
}

std::u16string utf16(const std::wstring& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

std::string quoted_wide(const std::wstring& text) {
  return headless::quoted(utf16(text));
}

// The main window's caption may name the port the command line gave.
const DialogTemplate* template_by_caption(const std::wstring& caption) {
  const std::u16string_view shown(reinterpret_cast<const char16_t*>(caption.data()),
                                  caption.size());
  for (const DialogTemplate& dialog : dialog_templates()) {
    if (dialog.caption == shown) return &dialog;
  }
  const DialogTemplate* main = find_dialog_template(dlg::MAIN);
  if (caption_without_port(shown) == main->caption) return main;
  return nullptr;
}

bool contains(const std::vector<HWND>& windows, HWND window) {
  return std::find(windows.begin(), windows.end(), window) != windows.end();
}

HWND file_name_box(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, FILE_NAME_COMBO)) return combo;
  return GetDlgItem(dialog, FILE_NAME_EDIT);
}

// Paths the program shows under the scenario folder print relative to it, as
// the script frontend, which never makes a path absolute, prints them.
std::wstring relative_to_current_directory(const std::wstring& text) {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return text;
  std::wstring prefix(folder, length);
  if (prefix.back() != L'\\') prefix += L'\\';
  std::wstring result;
  size_t at = 0;
  while (at < text.size()) {
    const bool found = text.size() - at > prefix.size() &&
                       _wcsnicmp(text.c_str() + at, prefix.c_str(), prefix.size()) == 0;
    if (found) {
      at += prefix.size();
    } else {
      result += text[at++];
    }
  }
  return result;
}

const wchar_t* expected_class(ControlKind kind) {
  switch (kind) {
    case ControlKind::edit:
      return L"Edit";
    case ControlKind::static_text:
      return L"Static";
    case ControlKind::drop_down_list:
      return L"ComboBox";
    case ControlKind::status_bar:
      return L"msctls_statusbar32";
    default:
      return L"Button";
  }
}

std::optional<LONG> expected_button_type(ControlKind kind) {
  switch (kind) {
    case ControlKind::push_button:
      return BS_PUSHBUTTON;
    case ControlKind::default_push_button:
      return BS_DEFPUSHBUTTON;
    case ControlKind::auto_check_box:
      return BS_AUTOCHECKBOX;
    case ControlKind::auto_radio_button:
      return BS_AUTORADIOBUTTON;
    case ControlKind::group_box:
      return BS_GROUPBOX;
    default:
      return std::nullopt;
  }
}

}  // namespace

ScriptPlayer::~ScriptPlayer() {
  for (HANDLE file : held_files_) CloseHandle(file);
}

void ScriptPlayer::emit(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void ScriptPlayer::play(const std::vector<std::string>& lines) {
  settle();
  for (size_t number = 1; number <= lines.size(); ++number) {
    if (main_ended_ || stack_.empty()) break;
    headless::play_script_line(*this, lines[number - 1], number);
  }
  close_all();
  const auto code = target_.wait_for_exit(EXIT_TIMEOUT_MS);
  if (!code) throw DriverError("the program does not end");
  emit("exit " + std::to_string(*code));
}

// Waits until the program takes input again and reports every window that
// opened or ended on the way; message boxes and file dialogs get their
// answers, which may open or end more windows.
void ScriptPlayer::settle() {
  DWORD deadline = GetTickCount() + SETTLE_TIMEOUT_MS;
  std::optional<uint64_t> operation_started_us;
  std::optional<uint64_t> board_us;
  while (true) {
    if (GetTickCount() > deadline) throw DriverError("the windows of the program do not settle");
    std::vector<HWND> windows = target_.dialog_windows();
    HWND probe = nullptr;
    for (auto it = stack_.rbegin(); it != stack_.rend() && probe == nullptr; ++it) {
      if (IsWindow(it->handle)) probe = it->handle;
    }
    if (probe == nullptr && !windows.empty()) probe = windows.front();
    if (probe == nullptr) {
      if (main_ended_ || !target_.running()) {
        take_changes({});
        return;
      }
      Sleep(5);  // starting up, or between two windows
      continue;
    }
    wait_until_responsive(probe, RESPONSE_TIMEOUT_MS);
    windows = target_.dialog_windows();
    // Hidden: still being created, or ended and about to go.
    if (std::any_of(windows.begin(), windows.end(), [](HWND w) { return !IsWindowVisible(w); })) {
      Sleep(2);
      continue;
    }
    // An operation of the window runs and has opened nothing yet: its thread
    // answers, but takes no input.
    const bool unchanged = windows.size() == stack_.size() &&
                           std::all_of(stack_.begin(), stack_.end(), [&](const Window& w) {
                             return contains(windows, w.handle);
                           });
    if (unchanged && GetPropW(probe, win32::BUSY_PROPERTY) != nullptr) {
      // Its end is awaited as long as the board's clock goes on, up to the
      // board time any operation may take, however slow the machine is.
      const auto now_us = main_window_ != nullptr ? sim_channel_.ping(main_window_) : std::nullopt;
      if (now_us) {
        if (!operation_started_us) operation_started_us = *now_us;
        if (*now_us - *operation_started_us > OPERATION_BOARD_TIME_LIMIT_US) {
          throw DriverError("the operation goes on longer on the board than any may");
        }
        if (*now_us != board_us) deadline = GetTickCount() + SETTLE_TIMEOUT_MS;
        board_us = now_us;
      }
      Sleep(5);
      continue;
    }
    if (!take_changes(windows)) return;
  }
}

bool ScriptPlayer::take_changes(const std::vector<HWND>& windows) {
  bool changed = false;
  while (!stack_.empty() && !contains(windows, stack_.back().handle)) {
    const Window ended = stack_.back();
    stack_.pop_back();
    window_ended(ended);
    changed = true;
  }
  for (const Window& open : stack_) {
    if (!contains(windows, open.handle)) throw DriverError("a window ended under another");
  }
  std::vector<HWND> fresh;
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    const bool known = std::any_of(stack_.begin(), stack_.end(),
                                   [&](const Window& open) { return open.handle == *it; });
    if (!known) fresh.push_back(*it);
  }
  // Owners before the windows they own.
  while (!fresh.empty()) {
    const HWND expected_owner = stack_.empty() ? nullptr : stack_.back().handle;
    const auto next = std::find_if(fresh.begin(), fresh.end(), [&](HWND w) {
      return stack_.empty() || owner_of(w) == expected_owner;
    });
    if (next == fresh.end())
      throw DriverError("a window opened that the top-most one does not own");
    const HWND opened = *next;
    fresh.erase(next);
    window_opened(opened);
    changed = true;
  }
  // A file dialog that did not take the name given to it (a folder, say).
  if (!changed && !stack_.empty() && stack_.back().kind == Kind::file_dialog &&
      stack_.back().answered) {
    std::fputs("driver: the file dialog refused the name; cancelled\n", stderr);
    SendNotifyMessageW(stack_.back().handle, WM_COMMAND, IDCANCEL, 0);
    stack_.back().answered = false;
    changed = true;
  } else if (!changed && !stack_.empty() && stack_.back().kind == Kind::message_box) {
    throw DriverError("a message box did not take its answer");
  }
  return changed;
}

void ScriptPlayer::window_opened(HWND handle) {
  if (_wgetenv(L"PROGRAMMER_GUI_DRIVER_DESCRIBE") != nullptr) describe(handle);
  if (cursor_at_boxes_ && !stack_.empty()) {
    wait_for_foreground();
    emit("cursor " + cursor_name());
  }
  const std::wstring caption = window_text(handle);
  const DialogTemplate* found = template_by_caption(caption);
  if (stack_.empty() && !main_ended_ && found != nullptr && found->id == dlg::MAIN) {
    main_window_ = handle;
    stack_.push_back({handle, Kind::main, dlg::MAIN, false});
    std::fprintf(stderr, "driver: main window after %.0f ms\n", target_.elapsed_ms());
    return;
  }
  const bool over_file_dialog = !stack_.empty() && stack_.back().kind == Kind::file_dialog;
  if (found != nullptr && found->id != dlg::MAIN && !over_file_dialog && !stack_.empty()) {
    stack_.push_back({handle, Kind::dialog, found->id, false});
    emit("dialog " + std::to_string(found->id) + " open");
    return;
  }
  if (is_message_box(handle)) {
    answer_message_box(handle, !over_file_dialog);
    return;
  }
  if (file_name_box(handle) != nullptr && !over_file_dialog) {
    answer_file_dialog(handle);
    return;
  }
  describe(handle);
  throw DriverError("a window opened that the driver does not know");
}

void ScriptPlayer::window_ended(const Window& window) {
  if (window.kind == Kind::main) {
    main_ended_ = true;
    return;
  }
  if (window.kind != Kind::dialog) return;
  // The program records the result once DialogBoxParamW has returned, before
  // its thread takes messages again.
  wait_until_responsive(main_window_, RESPONSE_TIMEOUT_MS);
  const auto ended =
      reinterpret_cast<uintptr_t>(GetPropW(main_window_, win32::DIALOGS_ENDED_PROPERTY));
  if (ended <= dialogs_ended_) throw DriverError("the program did not record the dialog's result");
  dialogs_ended_ = ended;
  const auto result =
      reinterpret_cast<intptr_t>(GetPropW(main_window_, win32::DIALOG_RESULT_PROPERTY));
  emit("dialog " + std::to_string(window.template_id) + " end " + std::to_string(result));
}

void ScriptPlayer::answer_message_box(HWND box, bool printed) {
  const ShownBox shown = read_message_box(box);
  int answer = shown.default_answer;
  if (printed) {
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    const std::string caption =
        shown.caption == default_caption() ? "none" : quoted_wide(shown.caption);
    emit("box " + quoted_wide(relative_to_current_directory(shown.text)) + " caption=" + caption +
         " flags=" + headless::flag_names(shown.flags) + " -> " + headless::answer_name(answer));
  } else {
    std::fprintf(stderr, "driver: the file dialog said \"%s\"; answered\n",
                 to_utf8(utf16(shown.text)).c_str());
  }
  stack_.push_back({box, Kind::message_box, 0, true});
  SendNotifyMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

void ScriptPlayer::answer_file_dialog(HWND dialog) {
  std::optional<std::wstring> result;
  if (!file_dialog_results_.empty()) {
    result = file_dialog_results_.front();
    file_dialog_results_.pop_front();
  }
  if (result && *result == SHOW_FILE_DIALOG) {
    show_file_dialog(dialog);
    result.reset();
  }
  stack_.push_back({dialog, Kind::file_dialog, 0, result.has_value()});
  if (!result) {
    SendNotifyMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  set_window_text(file_name_box(dialog), *result);
  SendNotifyMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// The file types offered, the one chosen, and whether the read-only box shows.
void ScriptPlayer::show_file_dialog(HWND dialog) {
  const HWND types = GetDlgItem(dialog, FILE_TYPE_LIST);
  std::string line = "filedialog types=";
  if (types != nullptr) {
    const auto count = static_cast<WPARAM>(send(types, CB_GETCOUNT));
    for (WPARAM i = 0; i < count; ++i) {
      std::wstring item(static_cast<size_t>(send(types, CB_GETLBTEXTLEN, i)) + 1, L'\0');
      send(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
      if (i > 0) line += ',';
      line += quoted_wide(item.c_str());
    }
    line += " chosen=" + std::to_string(send(types, CB_GETCURSEL));
  }
  const HWND read_only = GetDlgItem(dialog, READ_ONLY_BOX);
  line += std::string(" read-only-box=") +
          (read_only != nullptr && IsWindowVisible(read_only) ? "shown" : "hidden");
  emit(line);
}

void ScriptPlayer::close_all() {
  while (!stack_.empty() && !main_ended_) {
    const HWND closing = stack_.back().handle;
    SendNotifyMessageW(closing, WM_CLOSE, 0, 0);
    settle();
    if (!stack_.empty() && stack_.back().handle == closing) {
      throw DriverError("a window ignores the close request");
    }
  }
}

ScriptPlayer::Window& ScriptPlayer::top() {
  if (stack_.empty()) throw DriverError("no window is open");
  return stack_.back();
}

HWND ScriptPlayer::control(int id) {
  const HWND found = GetDlgItem(top().handle, id);
  if (found == nullptr) {
    throw ScriptError("control " + std::to_string(id) + " is not in the top-most window");
  }
  return found;
}

bool ScriptPlayer::has_control(int id) {
  return GetDlgItem(top().handle, id) != nullptr;
}

std::vector<std::u16string> ScriptPlayer::list_items(int id) {
  const HWND list = control(id);
  const auto count = static_cast<WPARAM>(send(list, CB_GETCOUNT));
  std::vector<std::u16string> items;
  for (WPARAM i = 0; i < count; ++i) {
    std::wstring item(static_cast<size_t>(send(list, CB_GETLBTEXTLEN, i)) + 1, L'\0');
    send(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    items.push_back(utf16(item.c_str()));
  }
  return items;
}

void ScriptPlayer::select(int id, size_t index) {
  const HWND list = control(id);
  send(list, CB_SETCURSEL, static_cast<WPARAM>(index));
  SendNotifyMessageW(top().handle, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
  settle();
}

void ScriptPlayer::set_text(int id, std::u16string_view text) {
  set_window_text(control(id), wide(text));
  settle();
}

void ScriptPlayer::set_checked(int id, bool checked) {
  send(control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

void ScriptPlayer::click(int id) {
  const HWND clicked = control(id);
  // A button clicks itself: check boxes and radio buttons change as under
  // the mouse, then the parent gets the command.
  if (class_name(clicked) == L"Button") {
    SendNotifyMessageW(clicked, BM_CLICK, 0, 0);
  } else {
    SendNotifyMessageW(top().handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(clicked));
  }
  settle();
}

void ScriptPlayer::close() {
  SendNotifyMessageW(top().handle, WM_CLOSE, 0, 0);
  settle();
}

void ScriptPlayer::queue_answer(int answer) {
  answers_.push_back(answer);
}

void ScriptPlayer::queue_file_dialog(std::optional<std::u16string> name) {
  if (!name) {
    file_dialog_results_.emplace_back(std::nullopt);
  } else if (*name == u"show") {
    file_dialog_results_.emplace_back(SHOW_FILE_DIALOG);
  } else {
    file_dialog_results_.emplace_back(wide(*name));
  }
}

void ScriptPlayer::print(int id) {
  const HWND shown = control(id);
  const std::wstring text = relative_to_current_directory(window_text(shown));
  const LONG style = window_style(shown);
  const bool button = class_name(shown) == L"Button";
  const bool checked = button && send(shown, BM_GETCHECK) != BST_UNCHECKED;
  emit("control " + std::to_string(id) + " " + quoted_wide(text) +
       " checked=" + (checked ? "1" : "0") + " visible=" + ((style & WS_VISIBLE) != 0 ? "1" : "0") +
       " enabled=" + ((style & WS_DISABLED) == 0 ? "1" : "0"));
}

HWND ScriptPlayer::focus_window() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(target_.thread_id(), &info) && info.hwndFocus != nullptr) {
    return info.hwndFocus;
  }
  return top().handle;
}

void ScriptPlayer::press_key(Key key) {
  wait_until_reading_queue();
  // Keys must come through the queue, where the dialog manager reads them.
  key_input(focus_window(), key == Key::enter ? VK_RETURN : VK_ESCAPE);
  wait_for_posted_input();
  settle();
}

// The window is idle once its command has ended, but the command still drops
// the input queued while it ran after that: input posted then would be lost.
// A mark read back means the thread reads its queue again.
void ScriptPlayer::wait_until_reading_queue() {
  if (GetPropW(main_window_, win32::INPUT_READ_PROPERTY) != nullptr) wait_for_posted_input();
}

// Until the program's thread has read what was posted to it: a mark posted
// behind it comes back. Whatever the key started has begun then (a window
// opens, or the operation holds the thread), and settle() sees it.
void ScriptPlayer::wait_for_posted_input() {
  const auto marks_read = [this] {
    return reinterpret_cast<uintptr_t>(GetPropW(main_window_, win32::INPUT_READ_PROPERTY));
  };
  if (marks_read() == 0) {
    // programmer.exe takes no marks: the key's effect shows, or it has none.
    const std::vector<HWND> before = target_.dialog_windows();
    for (int poll = 0; poll < KEY_EFFECT_POLLS; ++poll) {
      Sleep(KEY_EFFECT_POLL_MS);
      const std::vector<HWND> now = target_.dialog_windows();
      if (now != before ||
          std::any_of(now.begin(), now.end(), [](HWND w) { return !IsWindowVisible(w); })) {
        return;
      }
    }
    return;
  }
  const uintptr_t mark = marks_read() + 1;
  PostMessageW(main_window_, win32::SIM_INPUT_MARK, mark, 0);
  const DWORD deadline = GetTickCount() + RESPONSE_TIMEOUT_MS;
  while (marks_read() != mark) {
    // The key ended the program before the mark was read.
    if (!IsWindow(main_window_) || !target_.running()) return;
    if (GetTickCount() > deadline) throw DriverError("the program does not read its input");
    Sleep(1);
  }
}

// Compares the top-most window with its template: class and kind of every
// control, its place and size in dialog units, the window's frame.
void ScriptPlayer::check_layout() {
  const Window& window = top();
  const DialogTemplate* dialog = find_dialog_template(window.template_id);
  if (dialog == nullptr) throw ScriptError("the top-most window has no template");
  std::vector<std::string> problems;
  const LONG frame = window_style(window.handle);
  const bool system_menu = (dialog->styles & dialog_style::SYSTEM_MENU) != 0;
  const bool sizing = (dialog->styles & dialog_style::SIZING_FRAME) != 0;
  if (((frame & WS_SYSMENU) != 0) != system_menu) problems.emplace_back("system menu");
  if (((frame & WS_THICKFRAME) != 0) != sizing) problems.emplace_back("sizing frame");
  if ((frame & WS_CAPTION) != WS_CAPTION) problems.emplace_back("caption bar");

  RECT client{};
  GetClientRect(window.handle, &client);
  // Dialog units to pixels: a quarter of the font's average width, an eighth of its height.
  const int base_x = static_cast<int>(std::lround(client.right * 4.0 / dialog->width));
  const int base_y = static_cast<int>(std::lround(client.bottom * 8.0 / dialog->height));
  if (MulDiv(dialog->width, base_x, 4) != client.right ||
      MulDiv(dialog->height, base_y, 8) != client.bottom) {
    problems.emplace_back("client area " + std::to_string(client.right) + "x" +
                          std::to_string(client.bottom));
  }
  const auto close_to = [](LONG actual, int expected) { return std::abs(actual - expected) <= 1; };
  for (const ControlTemplate& expected : dialog->controls) {
    if (expected.id < 0) continue;
    const std::string name = "control " + std::to_string(expected.id);
    const HWND shown = GetDlgItem(window.handle, expected.id);
    if (shown == nullptr) {
      problems.push_back(name + " missing");
      continue;
    }
    const LONG style = window_style(shown);
    if (_wcsicmp(class_name(shown).c_str(), expected_class(expected.kind)) != 0) {
      problems.push_back(name + " class");
    }
    if (const auto type = expected_button_type(expected.kind)) {
      if ((style & BS_TYPEMASK) != *type) problems.push_back(name + " button kind");
      const bool multiline = (expected.styles & style::MULTILINE) != 0;
      if (((style & BS_MULTILINE) != 0) != multiline) problems.push_back(name + " multi-line");
    }
    if (expected.kind == ControlKind::edit) {
      const bool right = (expected.styles & style::RIGHT) != 0;
      const bool upper = (expected.styles & style::UPPERCASE) != 0;
      const bool scroll = (expected.styles & style::AUTO_HSCROLL) != 0;
      const bool sunken = (expected.styles & style::SUNKEN) != 0;
      if (((style & ES_RIGHT) != 0) != right) problems.push_back(name + " alignment");
      if (((style & ES_UPPERCASE) != 0) != upper) problems.push_back(name + " upper case");
      if (((style & ES_AUTOHSCROLL) != 0) != scroll) problems.push_back(name + " scrolling");
      if (((GetWindowLongW(shown, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) != sunken) {
        problems.push_back(name + " sunken edge");
      }
    }
    if (expected.kind == ControlKind::static_text &&
        ((style & SS_TYPEMASK) == SS_RIGHT) != ((expected.styles & style::RIGHT) != 0)) {
      problems.push_back(name + " alignment");
    }
    if (expected.kind == ControlKind::drop_down_list &&
        ((style & 0x3) != CBS_DROPDOWNLIST || (style & CBS_SORT) != 0)) {
      problems.push_back(name + " list kind");
    }
    if ((expected.styles & style::TAB_STOP) != 0 && (style & WS_TABSTOP) == 0) {
      problems.push_back(name + " tab stop");
    }
    if (expected.kind == ControlKind::status_bar) continue;  // the bar places itself
    RECT place{};
    GetWindowRect(shown, &place);
    MapWindowPoints(nullptr, window.handle, reinterpret_cast<POINT*>(&place), 2);
    const bool placed = close_to(place.left, MulDiv(expected.x, base_x, 4)) &&
                        close_to(place.top, MulDiv(expected.y, base_y, 8)) &&
                        close_to(place.right - place.left, MulDiv(expected.width, base_x, 4));
    // A closed drop-down list is as high as its font, not as its template.
    const bool high = expected.kind == ControlKind::drop_down_list ||
                      close_to(place.bottom - place.top, MulDiv(expected.height, base_y, 8));
    if (!placed || !high) {
      problems.push_back(name + " at " + std::to_string(place.left) + "," +
                         std::to_string(place.top) + " " +
                         std::to_string(place.right - place.left) + "x" +
                         std::to_string(place.bottom - place.top));
    }
  }
  const std::string prefix = "layout " + std::to_string(dialog->id);
  if (problems.empty()) emit(prefix + " ok");
  for (const std::string& problem : problems) emit(prefix + ": " + problem);
}

void ScriptPlayer::save_screenshot(const std::string& path) {
  // Let the window paint what the last command changed.
  Sleep(200);
  RECT area{};
  GetWindowRect(top().handle, &area);
  if (!write_bmp(capture_screen(area), wide_utf8(path))) {
    throw ScriptError("cannot write the screenshot " + path);
  }
}

void ScriptPlayer::board_command(const headless::ScriptLine& line) {
  const auto answer = sim_channel_.play(main_window_, std::string(line.text));
  if (!answer) throw ScriptError("the program does not take the simulated board's commands");
  if (!answer->done) throw ScriptError(answer->text);
  if (!answer->text.empty()) {
    std::fwrite(answer->text.data(), 1, answer->text.size(), stdout);
    std::fflush(stdout);
  }
}

// A command of the top-most window runs.
bool ScriptPlayer::busy() {
  return GetPropW(top().handle, win32::BUSY_PROPERTY) != nullptr;
}

// A click as the mouse makes it: posted button messages the control reads
// from the queue, not a command sent to the window.
void ScriptPlayer::mouse_click(HWND button) {
  RECT area{};
  GetClientRect(button, &area);
  const LPARAM point = MAKELPARAM(area.right / 2, area.bottom / 2);
  PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(button, WM_LBUTTONUP, 0, point);
}

void ScriptPlayer::key_input(HWND focus, WORD key) {
  PostMessageW(focus, WM_KEYDOWN, key, 1);
  PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

// Clicks and returns once the operation holds the thread, without waiting
// for its end ("wait" does).
void ScriptPlayer::start_click(int id) {
  const std::vector<HWND> before = target_.dialog_windows();
  wait_until_reading_queue();
  mouse_click(control(id));
  const DWORD deadline = GetTickCount() + BUSY_TIMEOUT_MS;
  while (true) {
    if (GetTickCount() > deadline) throw ScriptError("the click started no operation");
    const std::vector<HWND> windows = target_.dialog_windows();
    // A box the command asks before its operation ("Продолжить?") gets its
    // queued answer as usual; any other window is no operation.
    std::vector<HWND> fresh;
    for (HWND window : windows) {
      const bool known = contains(before, window) ||
                         std::any_of(stack_.begin(), stack_.end(),
                                     [&](const Window& open) { return open.handle == window; });
      if (!known) fresh.push_back(window);
    }
    const bool box_answered = !stack_.empty() && stack_.back().kind == Kind::message_box;
    if (!fresh.empty() || box_answered) {
      const HWND probe = fresh.empty() ? stack_.back().handle : fresh.front();
      if (IsWindow(probe)) wait_until_responsive(probe, RESPONSE_TIMEOUT_MS);
      const std::vector<HWND> now = target_.dialog_windows();
      // Hidden: still being created, or ended and about to go.
      if (std::any_of(now.begin(), now.end(), [](HWND w) { return !IsWindowVisible(w); })) {
        Sleep(2);
        continue;
      }
      // A window that has gone already is no other window.
      if (fresh.size() > 1 ||
          (fresh.size() == 1 && IsWindow(fresh.front()) && !is_message_box(fresh.front()))) {
        throw ScriptError("a window opened, not an operation");
      }
      take_changes(now);
      continue;
    }
    // Answers queued before "start" are for boxes the command asks first: the
    // operation is the part after them.
    if (answers_.empty() && busy() && holds_inside_operation(before)) break;
    Sleep(1);
  }
  windows_at_start_ = before;
}

// The thread, held on a ping, stands inside the operation: busy, and no box
// opened. Without pings (programmer.exe), busy is the best guess.
bool ScriptPlayer::holds_inside_operation(const std::vector<HWND>& windows) {
  bool inside = false;
  const std::function<void()> look = [&] {
    inside = busy() && target_.dialog_windows() == windows;
  };
  if (!sim_channel_.ping(main_window_, look)) look();
  return inside;
}

// Input made while the program is busy, as the mouse and keyboard leave it in
// the thread's queue: button messages for the control, key messages for the
// focus window. Posted, not injected through the system's input: under load,
// input injected by SendInput well inside the operation was seen to answer
// the box that ends it (Wine had not queued it for the thread yet when the
// program dropped its queued input); a posted message is queued once
// PostMessage returns.
void ScriptPlayer::post_click(int id) {
  const HWND button = control(id);
  require_busy();
  mouse_click(button);
  require_input_before_end();
}

void ScriptPlayer::post_key(Key key) {
  require_busy();
  key_input(focus_window(), key == Key::enter ? VK_RETURN : VK_ESCAPE);
  require_input_before_end();
}

void ScriptPlayer::require_busy() {
  if (!busy()) throw ScriptError("the program is not busy");
}

// On a loaded machine the operation can end before the input is queued; a
// window it opened since may take the input meant for the busy one. The
// program drops queued input just before it opens a box, so a look at its
// windows after the input proves nothing: the box may be about to open.
// The thread held on a ping, with the operation running and no window
// opened, stands inside the operation, before that drop.
void ScriptPlayer::require_input_before_end() {
  bool inside_operation = false;
  const std::function<void()> look = [&] {
    inside_operation = busy() && target_.dialog_windows() == windows_at_start_;
  };
  if (!sim_channel_.ping(main_window_, look)) look();  // programmer.exe: the best guess
  if (!inside_operation) {
    throw InputTooLate("the operation ended before the input was made");
  }
}

// Another program reading the file, letting others read it too.
void ScriptPlayer::hold_file(const std::string& path) {
  const HANDLE file = CreateFileW(wide_utf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw ScriptError("cannot open " + path);
  held_files_.push_back(file);
}

void ScriptPlayer::describe_window() {
  describe(top().handle);
}

void ScriptPlayer::wait() {
  settle();
}

void ScriptPlayer::require_main_on_top() {
  if (top().kind != Kind::main) throw ScriptError("the main window is not the top-most one");
}

void ScriptPlayer::about() {
  require_main_on_top();
  SendNotifyMessageW(top().handle, WM_SYSCOMMAND, ABOUT_COMMAND, 0);
  settle();
}

// "drop FILE": the shell's WM_DROPFILES with the file's full path, its
// DROPFILES block placed in the program's memory.
void ScriptPlayer::drop_file(const std::string& path) {
  require_main_on_top();
  std::wstring full(MAX_PATH * 4, L'\0');
  const DWORD length = GetFullPathNameW(wide_utf8(path).c_str(), static_cast<DWORD>(full.size()),
                                        full.data(), nullptr);
  if (length == 0 || length >= full.size()) throw ScriptError("bad path " + path);
  full.resize(length);
  std::vector<BYTE> block(sizeof(DROPFILES) + (full.size() + 2) * sizeof(wchar_t), 0);
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::copy(full.begin(), full.end(), reinterpret_cast<wchar_t*>(block.data() + sizeof(DROPFILES)));
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, target_.process_id());
  if (process == nullptr) throw DriverError("cannot open the program's process");
  void* remote =
      VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool written =
      remote != nullptr && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  CloseHandle(process);
  if (!written) throw DriverError("cannot place the dropped name in the program");
  // Sent, not posted: a message sent to a thread is handled before the ones
  // posted to it, so a check after a posted drop could read the path field
  // before the drop reached it. The drop opens no window: the send returns.
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(top().handle, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0,
                          SMTO_NORMAL, 60000, &result) == 0) {
    throw DriverError("the program does not take the dropped file");
  }
  settle();
}

// "second": another copy of the program while this one runs: its boxes are
// printed and answered, its main window closed, its exit code printed.
// With words, the second gets them as its command line, and its main window
// prints whether it opened apart from the first one or on top of it.
void ScriptPlayer::second_instance(const std::vector<std::string>& words) {
  std::wstring arguments = arguments_;
  if (!words.empty()) {
    arguments.clear();
    for (const std::string& word : words) {
      if (!arguments.empty()) arguments += L' ';
      arguments += wide_utf8(word);
    }
  }
  RECT first{};
  GetWindowRect(main_window_, &first);
  TargetProcess second(program_, arguments);
  const DWORD deadline = GetTickCount() + 60000;
  while (second.running()) {
    if (GetTickCount() > deadline) throw DriverError("the second program does not end");
    for (HWND window : second.dialog_windows()) {
      if (!IsWindowVisible(window)) continue;
      wait_until_responsive(window, 60000);
      if (is_message_box(window)) {
        const ShownBox shown = read_message_box(window);
        emit("second box " + quoted_wide(shown.text) + " caption=" + quoted_wide(shown.caption) +
             " flags=" + headless::flag_names(shown.flags));
        SendNotifyMessageW(window, WM_COMMAND, MAKEWPARAM(shown.default_answer, BN_CLICKED), 0);
      } else {
        std::string place;
        if (!words.empty()) {
          RECT shown{};
          GetWindowRect(window, &shown);
          place = shown.left == first.left && shown.top == first.top ? " on-top" : " apart";
        }
        emit("second window " + quoted_wide(window_text(window)) + place);
        SendNotifyMessageW(window, WM_CLOSE, 0, 0);
      }
      Sleep(50);
    }
    Sleep(10);
  }
  emit("second exit " + std::to_string(*second.wait_for_exit(0)));
}

// The cursor the system shows for the program's windows (theirs while they
// are in the foreground): the program's wait cursor, no cursor, or another.
std::string ScriptPlayer::cursor_name() {
  if (!in_foreground()) throw DriverError("the program is not in the foreground");
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) throw DriverError("cannot read the cursor");
  if (info.hCursor == nullptr) return "none";
  const HANDLE wait = GetPropW(main_window_, win32::WAIT_CURSOR_PROPERTY);
  if (wait == nullptr) throw DriverError("the program does not name its wait cursor");
  return info.hCursor == wait ? "wait" : "normal";
}

bool ScriptPlayer::in_foreground() const {
  DWORD process = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &process);
  return process == target_.process_id();
}

// A window opened or closed hands the foreground over through Wine's focus
// events, which the program takes in its own message loop, in its own time:
// with the program's thread free (not held on a ping), the hand-over is
// waited for.
void ScriptPlayer::wait_for_foreground() const {
  const DWORD deadline = GetTickCount() + RESPONSE_TIMEOUT_MS;
  while (!in_foreground() && GetTickCount() < deadline && target_.running()) Sleep(1);
}

// While an operation runs ("start"), the cursor is read with the thread held
// on a ping inside it, before any box that ends it: the box comes with the
// cursor as before, so a look after the operation proves nothing. A box
// answered just before the operation hands the foreground back through the
// program's own message loop, which the operation runs between pings: under
// load the first look can come before that, so the thread is let go and
// held again, for as long as the operation runs.
void ScriptPlayer::print_cursor() {
  if (!busy()) {
    wait_for_foreground();
    emit("cursor " + cursor_name());
    return;
  }
  while (true) {
    bool inside_operation = false;
    std::optional<std::string> name;
    const std::function<void()> look = [&] {
      inside_operation = busy() && target_.dialog_windows() == windows_at_start_;
      if (in_foreground()) name = cursor_name();
    };
    const bool held = sim_channel_.ping(main_window_, look).has_value();
    if (!held) look();  // programmer.exe: the best guess
    if (!inside_operation) throw InputTooLate("the operation ended before the cursor was read");
    if (name) {
      emit("cursor " + *name);
      return;
    }
    if (!held) throw DriverError("the program is not in the foreground");
    Sleep(1);
  }
}

void ScriptPlayer::print_cursor_at_boxes() {
  cursor_at_boxes_ = true;
}

}  // namespace fp::driver
