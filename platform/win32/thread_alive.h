// A thread that runs a chip operation itself takes no messages for as long
// as the operation lasts; Windows shows a window whose thread has not looked
// at its queue for 5 s as not responding.
#pragma once

namespace fp {

// Looks at the thread's queue without taking or dispatching any input:
// Windows sees a thread that reads its messages.
void show_thread_alive();

}  // namespace fp
