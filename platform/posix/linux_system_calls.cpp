#include <fcntl.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/system_calls.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define FP_HAS_PORT_INSTRUCTIONS 1
#endif

namespace fp::posix {
namespace {

class LinuxSystemCalls final : public SystemCalls {
 public:
  int open(const char* path, int flags) override { return ::open(path, flags | O_CLOEXEC); }
  int close(int descriptor) override { return ::close(descriptor); }
  int ioctl(int descriptor, unsigned long request, void* argument) override {
    return ::ioctl(descriptor, request, argument);
  }
  int ioperm(unsigned long from, unsigned long count, int turn_on) override {
#ifdef FP_HAS_PORT_INSTRUCTIONS
    return ::ioperm(from, count, turn_on);
#else
    (void)from;
    (void)count;
    (void)turn_on;
    errno = ENOSYS;
    return -1;
#endif
  }
  int set_scheduler(int policy, int priority) override {
    sched_param parameter{};
    parameter.sched_priority = priority;
    return ::sched_setscheduler(0, policy, &parameter);
  }
  [[nodiscard]] int last_error() const override {
    return errno;
  }
  [[nodiscard]] bool is_root() const override {
    return ::geteuid() == 0;
  }

  void outb(uint8_t value, uint16_t port) override {
#ifdef FP_HAS_PORT_INSTRUCTIONS
    ::outb(value, port);
#else
    (void)value;
    (void)port;
#endif
  }
  uint8_t inb(uint16_t port) override {
#ifdef FP_HAS_PORT_INSTRUCTIONS
    return ::inb(port);
#else
    (void)port;
    return 0xFF;
#endif
  }
};

}  // namespace

SystemCalls& linux_system_calls() {
  // Stateless: one instance serves the whole process.
  static LinuxSystemCalls calls;
  return calls;
}

}  // namespace fp::posix
