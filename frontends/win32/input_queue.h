// The window's thread runs chip operations itself and takes no input while
// one runs: input made out of impatience must not act once it is over.
#pragma once

namespace fp::win32 {

// Removes the mouse and keyboard messages waiting in the thread's queue,
// posted ones too, without dispatching anything else.
void discard_queued_input();

}  // namespace fp::win32
