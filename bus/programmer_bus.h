// The programmer board on the parallel port: four write-only latches loaded
// through the data register with a strobe on the control register, and the
// chip's data bus read back as two nibbles on the status register.
#pragma once

#include <array>
#include <cstdint>

#include "bus/status_bar.h"
#include "platform/port_io.h"

namespace fp {

// Latch selects, written to CONTROL_PORT around the strobe (bit 0).
inline constexpr uint8_t LATCH_DATA = 0;
inline constexpr uint8_t LATCH_CTRL = 2;
inline constexpr uint8_t LATCH_ADDR_LO = 4;
inline constexpr uint8_t LATCH_ADDR_MID = 6;

// Control latch: bits 0-2 are A16-A18, bit 3 the programming voltage, bits 4-7
// the bus-control lines.
inline constexpr uint8_t CTRL_IDLE = 0xC0;         // bus released, chip idle
inline constexpr uint8_t CTRL_READ = 0x90;         // chip drives its data bus
inline constexpr uint8_t CTRL_WRITE_SETUP = 0x50;  // data latch drives, chip enabled
inline constexpr uint8_t CTRL_WRITE_PULSE = 0x70;  // write strobe
inline constexpr uint8_t CTRL_VPP = 0x08;

// The system's copy of the address latches: A0-A7, A8-A15, A16-A18 and a flags
// byte whose bit 3 records that the programming voltage is meant to be on.
struct BusAddress {
  std::array<uint8_t, 4> bytes{};

  [[nodiscard]] uint32_t address() const {
    return (bytes[0] | (bytes[1] << 8) | (bytes[2] << 16)) & 0x7FFFF;
  }
  [[nodiscard]] uint8_t high_bits() const { return bytes[2]; }  // A16-A18
  [[nodiscard]] uint8_t flags() const { return bytes[3]; }
  [[nodiscard]] bool vpp_flag() const { return (bytes[3] & CTRL_VPP) != 0; }

  // Stores the whole word: the flags byte becomes 0.
  void set(uint32_t start) {
    const uint32_t masked = start & 0x7FFFF;
    bytes = {static_cast<uint8_t>(masked), static_cast<uint8_t>(masked >> 8),
             static_cast<uint8_t>(masked >> 16), 0};
  }
  void set_vpp_flag(bool on) { bytes[3] = on ? CTRL_VPP : 0; }
};

class ProgrammerBus {
 public:
  ProgrammerBus(PortIo& port, StatusBar& status_bar) : port_(&port), status_bar_(&status_bar) {}

  void latch_write(uint8_t select, uint8_t value) {
    port_->out(DATA_PORT, value);
    port_->out(CONTROL_PORT, select);
    port_->out(CONTROL_PORT, static_cast<uint8_t>(select | 1));
    port_->out(CONTROL_PORT, select);
  }

  uint8_t read_nibbles() {
    port_->out(CONTROL_PORT, 0x00);
    const auto low = static_cast<uint8_t>((port_->in(STATUS_PORT)&0xF0) >> 4);
    port_->out(CONTROL_PORT, 0x02);
    const auto high = static_cast<uint8_t>(port_->in(STATUS_PORT)&0xF0);
    return static_cast<uint8_t>(high | low);
  }

  // One read at the address the latches hold; never carries the voltage bit.
  uint8_t bus_read_cycle() {
    const uint8_t a = bus_address.high_bits();
    latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_READ | a));
    const uint8_t value = read_nibbles();
    latch_write(LATCH_CTRL, static_cast<uint8_t>(CTRL_IDLE | a));
    return value;
  }

  void address_step();
  void bus_reset();
  void bus_reset_vpp();

  // Three discarded status reads: the shortest wait the board offers.
  void status_port_delay() {
    port_->in(STATUS_PORT);
    port_->in(STATUS_PORT);
    port_->in(STATUS_PORT);
  }

  [[nodiscard]] PortIo& port() { return *port_; }
  [[nodiscard]] StatusBar& status_bar() { return *status_bar_; }

  BusAddress bus_address;
  // While set, address_step shows the running address after this text.
  const char16_t* progress_prefix = nullptr;

 private:
  void show_progress();

  PortIo* port_;
  StatusBar* status_bar_;
};

}  // namespace fp
