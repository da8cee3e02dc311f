#include "platform/posix/run_signals.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

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
  depth_ = 1;
  let_go();
  for (size_t i = 0; i < WRITE_SIGNALS.size(); ++i)
    sigaction(WRITE_SIGNALS[i], &previous_actions_[i], nullptr);
}

void RunSignals::hold() {
  ++depth_;
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
  if (--depth_ > 0) return;
  depth_ = 0;
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

RunSignals::Woken RunSignals::wait(std::chrono::milliseconds limit, int input_fd) {
  take_pending();
  if (caught() != 0) return Woken::signal;
  const sigset_t all = set_of(SIGNALS);
  // The signals stay blocked: the descriptor takes them off the pending set.
  const int signals_fd = signalfd(-1, &all, SFD_CLOEXEC);
  std::array<pollfd, 2> watched{{{signals_fd, POLLIN, 0}, {input_fd, POLLIN, 0}}};
  const nfds_t count = input_fd >= 0 ? 2 : 1;
  Woken woken = Woken::timeout;
  if (signals_fd < 0) {
    // No descriptor to wait on: a plain sleep, signals looked at after it.
    const timespec pause{limit.count() / 1000, (limit.count() % 1000) * 1'000'000};
    nanosleep(&pause, nullptr);
  } else if (poll(watched.data(), count, static_cast<int>(limit.count())) > 0) {
    if ((watched[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && count == 2) {
      woken = Woken::input;
    }
  }
  if (signals_fd >= 0) close(signals_fd);
  take_pending();
  return caught() != 0 ? Woken::signal : woken;
}

RunSignals::Line RunSignals::wait_for_line(int input_fd) {
  constexpr std::chrono::minutes LONG_WAIT{10};
  for (;;) {
    const Woken woken = wait(LONG_WAIT, input_fd);
    if (woken == Woken::signal) return Line::signal;
    if (woken == Woken::timeout) continue;
    char byte = 0;
    const ssize_t count = read(input_fd, &byte, 1);
    if (count <= 0) return Line::ended;
    if (byte == '\n') return Line::read;
  }
}

int RunSignals::caught() const {
  return first_caught.load();
}

int RunSignals::caught_so_far() {
  if (held_) take_pending();
  return caught();
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
