#include "platform/posix/release_on_signal.h"

#include <atomic>

namespace fp::posix {
namespace {

// A signal handler reaches the program only through a static: the one place
// where the port the process holds is known outside its owner.
std::atomic<HeldPort*> held_port{nullptr};

void release_and_end(int signal_number) {
  if (HeldPort* port = held_port.exchange(nullptr)) port->release();
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  sigaction(signal_number, &default_action, nullptr);
  raise(signal_number);
}

}  // namespace

ReleaseOnSignal::ReleaseOnSignal(HeldPort& port) {
  held_port.store(&port);
  struct sigaction action {};
  action.sa_handler = release_and_end;
  sigemptyset(&action.sa_mask);
  for (const int other : SIGNALS) sigaddset(&action.sa_mask, other);
  for (size_t i = 0; i < SIGNALS.size(); ++i) sigaction(SIGNALS[i], &action, &previous_[i]);
}

ReleaseOnSignal::~ReleaseOnSignal() {
  for (size_t i = 0; i < SIGNALS.size(); ++i) sigaction(SIGNALS[i], &previous_[i], nullptr);
  held_port.store(nullptr);
}

}  // namespace fp::posix
