// Waiting for a chip that tells on its data lines when an internal operation
// (a page write, an erase) is done, instead of sleeping its longest time.
#pragma once

#include <cstdint>

#include "platform/port_io.h"

namespace fp {

// How long a poll loop keeps asking before it gives up. First polls back to
// back, which catch a typical operation the moment it ends; then one poll
// after each short sleep, so that the loop lasts at least slept_ms() of real
// time however fast the port is.
struct PollBound {
  uint32_t back_to_back_polls;
  uint32_t sleep_ms;
  uint32_t sleeps;

  [[nodiscard]] constexpr uint32_t slept_ms() const { return sleep_ms * sleeps; }
};

// True as soon as ready(slept) answers true; false when the bound is used
// up. slept is true for the polls that follow a sleep, during which the
// chip's answers may have changed more than from one read to the next.
// slept_ms, when given, gets the milliseconds slept.
template <typename Ready>
bool poll_until(Clock& clock, const PollBound& bound, Ready&& ready, uint32_t* slept_ms = nullptr) {
  for (uint32_t poll = 0; poll < bound.back_to_back_polls; ++poll) {
    if (ready(false)) return true;
  }
  for (uint32_t sleep = 0; sleep < bound.sleeps; ++sleep) {
    clock.sleep_ms(bound.sleep_ms);
    if (slept_ms != nullptr) *slept_ms += bound.sleep_ms;
    if (ready(true)) return true;
  }
  return false;
}

}  // namespace fp
