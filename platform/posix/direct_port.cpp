#include "platform/posix/direct_port.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace fp::posix {
namespace {

constexpr unsigned long REGISTER_COUNT = 3;

std::string hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%Xh", value);
  return text;
}

}  // namespace

std::unique_ptr<DirectPort> DirectPort::open(SystemCalls& calls, uint16_t base, std::string& error,
                                             int* error_number) {
  if (base > 0xFFFF - (REGISTER_COUNT - 1)) {
    error = "no port range at " + hex(base);
    return nullptr;
  }
  if (calls.ioperm(base, REGISTER_COUNT, 1) != 0) {
    const int code = calls.last_error();
    error = "cannot use ports " + hex(base) + "-" + hex(base + REGISTER_COUNT - 1) + ": " +
            std::strerror(code);
    if (code == EPERM || code == EACCES) {
      // Root refused: a locked-down kernel (Secure Boot) allows no port instructions.
      error += calls.is_root()
                   ? " (the kernel allows no direct I/O, not even to root: use --port ppdev)"
                   : " (direct I/O needs root)";
    }
    if (error_number != nullptr) *error_number = code;
    return nullptr;
  }
  return std::unique_ptr<DirectPort>(new DirectPort(calls, base));
}

void DirectPort::out(uint16_t port, uint8_t value) {
  if (released() || !maps(port)) return;
  calls_.outb(value, static_cast<uint16_t>(base_ + (port - DATA_PORT)));
}

uint8_t DirectPort::in(uint16_t port) {
  if (released() || !maps(port)) return 0xFF;
  return calls_.inb(static_cast<uint16_t>(base_ + (port - DATA_PORT)));
}

void DirectPort::let_go() noexcept {
  calls_.ioperm(base_, REGISTER_COUNT, 0);
}

}  // namespace fp::posix
