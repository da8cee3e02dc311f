// The kernel as the port backends see it, recorded call by call, with
// failures that a test can arrange.
#pragma once

#include <cerrno>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/system_calls.h"

namespace fp::test {

class FakeSystemCalls final : public posix::SystemCalls {
 public:
  struct Call {
    std::string name;
    unsigned long request = 0;  // ioctl request, ioperm start, outb/inb port, policy
    int value = 0;              // the byte or int passed or returned
    bool operator==(const Call&) const = default;
  };

  int open(const char* path, int flags) override;
  int close(int descriptor) override;
  int ioctl(int descriptor, unsigned long request, void* argument) override;
  int ioperm(unsigned long from, unsigned long count, int turn_on) override;
  int set_scheduler(int policy, int priority) override;
  [[nodiscard]] int last_error() const override { return error_; }
  [[nodiscard]] bool is_root() const override { return root; }
  void outb(uint8_t value, uint16_t port) override;
  uint8_t inb(uint16_t port) override;

  [[nodiscard]] size_t count(const std::string& name, unsigned long request = 0) const;

  std::vector<Call> calls;
  // A call (by name, or "ioctl" with its request) that fails with this errno.
  std::map<std::string, int> fail_open;
  std::map<unsigned long, int> fail_ioctl;
  int fail_ioperm = 0;
  int fail_scheduler = 0;
  uint8_t status_value = 0x78;
  bool root = false;
  // Printed on standard error as each call is made (seen across a fork).
  bool echo_to_stderr = false;

 private:
  void record(Call call);
  int error_ = 0;
  int next_descriptor_ = 7;
};

}  // namespace fp::test
