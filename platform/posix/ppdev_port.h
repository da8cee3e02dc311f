// The parallel port through the kernel's ppdev driver (/dev/parportN): opened,
// claimed exclusively in compatibility mode, and driven register by register
// with ioctl calls.
#pragma once

#include <memory>
#include <string>

#include "platform/posix/held_port.h"
#include "platform/posix/system_calls.h"

namespace fp::posix {

inline constexpr char DEFAULT_PPDEV_DEVICE[] = "/dev/parport0";

class PpdevPort final : public HeldPort {
 public:
  // Nothing, and why in failure, when the port cannot be opened or claimed;
  // nothing is left open then.
  static std::unique_ptr<PpdevPort> open(SystemCalls& calls, const std::string& device,
                                         SystemFailure& failure);
  ~PpdevPort() override { release(); }
  PpdevPort(const PpdevPort&) = delete;
  PpdevPort& operator=(const PpdevPort&) = delete;

  void out(uint16_t port, uint8_t value) override;
  uint8_t in(uint16_t port) override;

 private:
  PpdevPort(SystemCalls& calls, std::string device, int descriptor)
      : calls_(calls), device_(std::move(device)), descriptor_(descriptor) {}
  void let_go() noexcept override;
  void register_call(unsigned long request, uint8_t* value, FailureKind kind);

  SystemCalls& calls_;
  std::string device_;
  int descriptor_;
};

}  // namespace fp::posix
