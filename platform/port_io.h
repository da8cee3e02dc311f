// Byte-wide access to the parallel port registers, and the other services the
// programmer needs from the machine: waits and the process priority class.
#pragma once

#include <cstdint>

namespace fp {

// I/O addresses of the first parallel port.
inline constexpr uint16_t DATA_PORT = 0x378;
inline constexpr uint16_t STATUS_PORT = 0x379;
inline constexpr uint16_t CONTROL_PORT = 0x37A;

class PortIo {
 public:
  virtual ~PortIo() = default;
  virtual void out(uint16_t port, uint8_t value) = 0;
  virtual uint8_t in(uint16_t port) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void sleep_ms(uint32_t milliseconds) = 0;
};

enum class PriorityClass { normal, high };

class Priority {
 public:
  virtual ~Priority() = default;
  virtual void set_priority_class(PriorityClass priority_class) = 0;
};

}  // namespace fp
