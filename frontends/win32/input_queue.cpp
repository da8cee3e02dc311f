#include "frontends/win32/input_queue.h"

#include <windows.h>

namespace fp::win32 {
namespace {

// Input comes through the hardware queue, or posted by another program; no
// QS_SENDMESSAGE, so that no message sent to the thread is dispatched here.
constexpr UINT QUEUES = PM_QS_INPUT | PM_QS_POSTMESSAGE;

void discard_range(UINT first, UINT last) {
  MSG message;
  while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE | PM_NOYIELD | QUEUES) != 0) {
  }
}

}  // namespace

void discard_queued_input() {
  discard_range(WM_KEYFIRST, WM_KEYLAST);
  discard_range(WM_MOUSEFIRST, WM_MOUSELAST);
  // Clicks on the caption and frame: the close button, the system menu.
  discard_range(WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK);
}

}  // namespace fp::win32
