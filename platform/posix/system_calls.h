// The few Linux system calls the port backends and the scheduling switch make,
// behind an interface so that tests can stand a fake in for the kernel.
#pragma once

#include <cstdint>

namespace fp::posix {

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;

  // As the C library's calls: -1 and errno on failure.
  virtual int open(const char* path, int flags) = 0;
  virtual int close(int descriptor) = 0;
  virtual int ioctl(int descriptor, unsigned long request, void* argument) = 0;
  virtual int ioperm(unsigned long from, unsigned long count, int turn_on) = 0;
  virtual int set_scheduler(int policy, int priority) = 0;
  [[nodiscard]] virtual int last_error() const = 0;
  // The process runs as root (effective user 0): advice differs for it.
  [[nodiscard]] virtual bool is_root() const = 0;

  // Port instructions; only valid after a successful ioperm.
  virtual void outb(uint8_t value, uint16_t port) = 0;
  virtual uint8_t inb(uint16_t port) = 0;
};

// The real calls of this process.
SystemCalls& linux_system_calls();

}  // namespace fp::posix
