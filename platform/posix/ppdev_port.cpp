#include "platform/posix/ppdev_port.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <utility>

namespace fp::posix {

std::unique_ptr<PpdevPort> PpdevPort::open(SystemCalls& calls, const std::string& device,
                                           SystemFailure& failure) {
  // The errno of the call that failed, before the clean-up calls.
  const auto refuse = [&](FailureKind kind) { failure = {kind, device, calls.last_error()}; };
  const int descriptor = calls.open(device.c_str(), O_RDWR);
  if (descriptor < 0) {
    refuse(FailureKind::port_open);
    return nullptr;
  }
  // Exclusive: no other driver (lp, a printer daemon) may touch the lines meanwhile.
  if (calls.ioctl(descriptor, PPEXCL, nullptr) != 0) {
    refuse(FailureKind::port_exclusive);
    calls.close(descriptor);
    return nullptr;
  }
  if (calls.ioctl(descriptor, PPCLAIM, nullptr) != 0) {
    refuse(FailureKind::port_claim);
    calls.close(descriptor);
    return nullptr;
  }
  int mode = IEEE1284_MODE_COMPAT;
  int forward = 0;
  if (calls.ioctl(descriptor, PPSETMODE, &mode) != 0 ||
      calls.ioctl(descriptor, PPDATADIR, &forward) != 0) {
    refuse(FailureKind::port_mode);
    calls.ioctl(descriptor, PPRELEASE, nullptr);
    calls.close(descriptor);
    return nullptr;
  }
  return std::unique_ptr<PpdevPort>(new PpdevPort(calls, device, descriptor));
}

void PpdevPort::register_call(unsigned long request, uint8_t* value, FailureKind kind) {
  if (released()) return;
  if (calls_.ioctl(descriptor_, request, value) != 0) {
    record_failure({kind, device_, calls_.last_error()});
  }
}

void PpdevPort::out(uint16_t port, uint8_t value) {
  if (port == DATA_PORT) {
    register_call(PPWDATA, &value, FailureKind::port_data_write);
  } else if (port == CONTROL_PORT) {
    register_call(PPWCONTROL, &value, FailureKind::port_control_write);
  }
}

uint8_t PpdevPort::in(uint16_t port) {
  // Reads of other registers never happen; the status register's value
  // for them keeps code that forgets to mask from seeing a ready chip.
  uint8_t value = 0xFF;
  if (port == STATUS_PORT) register_call(PPRSTATUS, &value, FailureKind::port_status_read);
  return value;
}

void PpdevPort::let_go() noexcept {
  calls_.ioctl(descriptor_, PPRELEASE, nullptr);
  calls_.close(descriptor_);
}

}  // namespace fp::posix
