#include "frontends/win32/win32_main_view.h"

#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <tuple>

#include "platform/win32/thread_alive.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace fp::win32 {
namespace {

// About 30 pictures a second: more is lost on the eye and costs the chip
// loop its time.
constexpr DWORD STATUS_PAINT_INTERVAL_MS = 33;

// Filter pairs of the open-file dialog, each part ended by a NUL, the list by
// a second one.
std::wstring file_filter() {
  std::wstring filter;
  for (const char16_t* part : {text::FILTER_BINARY, text::FILTER_BINARY_PATTERN, text::FILTER_ALL,
                               text::FILTER_ALL_PATTERN}) {
    filter += wide(part);
    filter += L'\0';
  }
  filter += L'\0';
  return filter;
}

}  // namespace

intptr_t Win32MainView::run(DialogLogic& logic) {
  const DialogHooks hooks{message_hook, [this] { paint_status(); }, &wait_cursor_};
  return run_modal_dialog(instance_, dlg::MAIN, nullptr, logic, window_, &hooks);
}

void Win32MainView::set_status_text(std::u16string_view text) {
  pending_status_ = wide(text);
  // A chip loop holds the thread: paint now and then, or the operator sees no
  // progress; the last text is painted before the window takes input again.
  if (GetTickCount() - last_status_paint_ >= STATUS_PAINT_INTERVAL_MS) paint_status();
}

void Win32MainView::paint_status() {
  if (!pending_status_) return;
  last_status_paint_ = GetTickCount();
  const HWND status_bar = GetDlgItem(window_.window(), ctl::STATUS_BAR);
  if (status_bar != nullptr) {
    SendMessageW(status_bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(pending_status_->c_str()));
    UpdateWindow(status_bar);
  }
  pending_status_.reset();
  show_thread_alive();
}

int Win32MainView::list_add(int id, std::u16string_view text) {
  return static_cast<int>(SendDlgItemMessageW(window_.window(), id, CB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(wide(text).c_str())));
}

void Win32MainView::list_set_item_data(int id, int index, intptr_t data) {
  SendDlgItemMessageW(window_.window(), id, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

intptr_t Win32MainView::list_item_data(int id, int index) {
  return SendDlgItemMessageW(window_.window(), id, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

void Win32MainView::list_select(int id, int index) {
  SendDlgItemMessageW(window_.window(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32MainView::list_selection(int id) {
  const LRESULT index = SendDlgItemMessageW(window_.window(), id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32MainView::set_small_icon(int icon_resource) {
  // The caption's icon, and the large one for the task switcher and taskbar.
  for (const auto& [kind, width, height] : {std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON},
                                            std::tuple{ICON_BIG, SM_CXICON, SM_CYICON}}) {
    const auto icon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(icon_resource),
                                                    IMAGE_ICON, GetSystemMetrics(width),
                                                    GetSystemMetrics(height), LR_SHARED));
    if (icon != nullptr) {
      SendMessageW(window_.window(), WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    }
  }
}

std::optional<std::u16string> Win32MainView::open_file_dialog(const FileDialogRequest& request) {
  if (request.capacity < 2) return std::nullopt;
  paint_status();
  const WaitCursor::Paused paused(&wait_cursor_);
  const std::wstring filter = file_filter();
  std::wstring buffer(request.capacity, L'\0');
  const auto ask = [&]() {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_.window();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = L".\\";
    dialog.Flags = OFN_HIDEREADONLY;
    return GetOpenFileNameW(&dialog) != FALSE;
  };
  const size_t initial = std::min(request.initial_path.size(), request.capacity - 1);
  std::copy_n(request.initial_path.begin(), initial, buffer.begin());
  if (ask()) return utf16(buffer.c_str());
  // A name the dialog cannot take as its initial name (wildcards, a bad
  // character) would leave the button dead: open the dialog without it.
  if (CommDlgExtendedError() != FNERR_INVALIDFILENAME || initial == 0) return std::nullopt;
  std::fill(buffer.begin(), buffer.end(), L'\0');
  if (ask()) return utf16(buffer.c_str());
  return std::nullopt;
}

intptr_t Win32MainView::run_dialog(int template_id, DialogLogic& logic) {
  paint_status();
  // The dialog's own clicks show the wait cursor again for their operations.
  const WaitCursor::Paused paused(&wait_cursor_);
  Win32DialogView view;
  // Operations of a family dialog show their progress on the main window.
  const DialogHooks hooks{{}, [this] { paint_status(); }, &wait_cursor_};
  const intptr_t result =
      run_modal_dialog(instance_, template_id, window_.window(), logic, view, &hooks);
  if (dialog_ended) dialog_ended(template_id, result);
  return result;
}

}  // namespace fp::win32
