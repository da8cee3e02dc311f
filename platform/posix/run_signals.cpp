#include "platform/posix/run_signals.h"

#include <atomic>
#include <ctime>

namespace fp::posix {
namespace {

// A signal handler reaches the program only through a static.
std::atomic<int> first_caught{0};

void note_signal(int signal_number) {
  int none = 0;
  first_caught.compare_exchange_strong(none, signal_number);
}

constexpr std::array<int, 2> WRITE_SIGNALS{SIGPIPE, SIGXFSZ};

sigset_t set_of(const auto& signals) {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal_number : signals) sigaddset(&set, signal_number);
  return set;
}

}  // namespace

RunSignals::RunSignals() {
  first_caught.store(0);
  struct sigaction action {};
  action.sa_handler = note_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < WRITE_SIGNALS.size(); ++i)
    sigaction(WRITE_SIGNALS[i], &action, &previous_actions_[i]);
}

RunSignals::~RunSignals() {
  let_go();
  for (size_t i = 0; i < WRITE_SIGNALS.size(); ++i)
    sigaction(WRITE_SIGNALS[i], &previous_actions_[i], nullptr);
}

void RunSignals::hold() {
  if (held_) return;
  const sigset_t all = set_of(SIGNALS);
  sigprocmask(SIG_BLOCK, &all, &previous_mask_);
  held_ = true;
}

void RunSignals::take_pending() {
  sigset_t pending;
  sigemptyset(&pending);
  sigpending(&pending);
  const timespec no_wait{};
  for (const int signal_number : SIGNALS) {
    if (sigismember(&pending, signal_number) != 1) continue;
    note_signal(signal_number);
    const sigset_t one = set_of(std::array<int, 1>{signal_number});
    sigtimedwait(&one, nullptr, &no_wait);
  }
}

void RunSignals::let_go() {
  if (!held_) return;
  take_pending();
  sigprocmask(SIG_SETMASK, &previous_mask_, nullptr);
  held_ = false;
  paused_ = false;
}

void RunSignals::pause() {
  if (!held_ || paused_) return;
  take_pending();
  if (caught() != 0) return;
  sigprocmask(SIG_SETMASK, &previous_mask_, nullptr);
  paused_ = true;
}

void RunSignals::resume() {
  if (!paused_) return;
  const sigset_t all = set_of(SIGNALS);
  sigprocmask(SIG_BLOCK, &all, nullptr);
  paused_ = false;
}

int RunSignals::caught() const {
  return first_caught.load();
}

std::string signal_name(int signal_number) {
  switch (signal_number) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    case SIGQUIT:
      return "SIGQUIT";
    case SIGPIPE:
      return "SIGPIPE";
    case SIGXFSZ:
      return "SIGXFSZ";
    default:
      return "signal " + std::to_string(signal_number);
  }
}

}  // namespace fp::posix
