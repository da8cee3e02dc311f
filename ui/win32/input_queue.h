// The window's thread runs chip operations itself and takes no input while
// one runs. These keep Windows from taking it for hung, and keep input made
// out of impatience from acting once the operation is over.
#pragma once

namespace fp::win32 {

// Looks at the thread's queue without taking, dispatching or answering
// anything: Windows sees a thread that reads its messages, and nothing runs.
void show_thread_alive();

// Removes the mouse and keyboard messages waiting in the thread's queue,
// posted ones too, without dispatching anything else.
void discard_queued_input();

}  // namespace fp::win32
