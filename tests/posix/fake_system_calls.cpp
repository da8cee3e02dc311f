#include "tests/posix/fake_system_calls.h"

#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace fp::test {

void FakeSystemCalls::record(Call call) {
  if (echo_to_stderr) {
    char line[96];
    const int length = std::snprintf(line, sizeof line, "%s %lX %d\n", call.name.c_str(),
                                     call.request, call.value);
    if (length > 0) ::write(STDERR_FILENO, line, static_cast<size_t>(length));
  }
  calls.push_back(std::move(call));
}

int FakeSystemCalls::open(const char* path, int flags) {
  record({"open", static_cast<unsigned long>(flags), 0});
  if (const auto failure = fail_open.find(path); failure != fail_open.end()) {
    error_ = failure->second;
    return -1;
  }
  return next_descriptor_;
}

int FakeSystemCalls::close(int descriptor) {
  record({"close", 0, descriptor});
  return 0;
}

int FakeSystemCalls::ioctl(int, unsigned long request, void* argument) {
  int value = 0;
  if (request == PPWDATA || request == PPWCONTROL) value = *static_cast<uint8_t*>(argument);
  if (request == PPSETMODE || request == PPDATADIR) value = *static_cast<int*>(argument);
  if (request == PPRSTATUS) {
    *static_cast<uint8_t*>(argument) = status_value;
    value = status_value;
  }
  record({"ioctl", request, value});
  if (const auto failure = fail_ioctl.find(request); failure != fail_ioctl.end()) {
    error_ = failure->second;
    return -1;
  }
  return 0;
}

int FakeSystemCalls::ioperm(unsigned long from, unsigned long count, int turn_on) {
  record({"ioperm", from, static_cast<int>(count) * 10 + turn_on});
  if (turn_on != 0 && fail_ioperm != 0) {
    error_ = fail_ioperm;
    return -1;
  }
  return 0;
}

int FakeSystemCalls::set_scheduler(int policy, int priority) {
  record({"scheduler", static_cast<unsigned long>(policy), priority});
  if (fail_scheduler != 0) {
    error_ = fail_scheduler;
    return -1;
  }
  return 0;
}

void FakeSystemCalls::outb(uint8_t value, uint16_t port) {
  record({"outb", port, value});
}

uint8_t FakeSystemCalls::inb(uint16_t port) {
  record({"inb", port, status_value});
  return status_value;
}

size_t FakeSystemCalls::count(const std::string& name, unsigned long request) const {
  size_t found = 0;
  for (const Call& call : calls) {
    if (call.name == name && (request == 0 || call.request == request)) ++found;
  }
  return found;
}

}  // namespace fp::test
