// One programmer.exe per port: a second one would interleave its port writes
// with the first one's and ruin the chip in the socket. A named mutex per
// base address, machine-wide, held for the whole run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace fp::win32 {

class PortLock {
 public:
  // The lock, or null when another program holds the port.
  static std::unique_ptr<PortLock> take(uint16_t base);
  ~PortLock();
  PortLock(const PortLock&) = delete;
  PortLock& operator=(const PortLock&) = delete;

 private:
  explicit PortLock(HANDLE mutex) : mutex_(mutex) {}
  HANDLE mutex_;
};

}  // namespace fp::win32
