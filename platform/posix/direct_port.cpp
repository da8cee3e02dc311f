#include "platform/posix/direct_port.h"

namespace fp::posix {
namespace {

constexpr unsigned long REGISTER_COUNT = 3;

}  // namespace

std::unique_ptr<DirectPort> DirectPort::open(SystemCalls& calls, uint16_t base,
                                             SystemFailure& failure) {
  if (base > 0xFFFF - (REGISTER_COUNT - 1)) {
    failure = {FailureKind::port_range, {}, 0, base};
    return nullptr;
  }
  if (calls.ioperm(base, REGISTER_COUNT, 1) != 0) {
    failure = {FailureKind::port_permission, {}, calls.last_error(), base, calls.is_root()};
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
