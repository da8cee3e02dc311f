// Programmers for the ATtiny2313 tests: RecordingRig (exact traffic,
// scripted read-back) with a row below, or the simulated board with the chip.
#pragma once

#include <string>
#include <vector>

#include "sim/attiny/attiny_model.h"
#include "tests/support/programmer_rigs.h"

namespace fp::test {

inline constexpr char16_t FLASH_ROW[] = u"ATTINY2313 - FLASH";
inline constexpr char16_t EEPROM_ROW[] = u"ATTINY2313 - EEPROM";

// The A0-A7 latch carries the chip's mode and strobe lines.
inline constexpr LatchNames ATTINY_LATCHES{"data", "ctrl", "lines", "mid"};

// The latch protocol of a recorded run: "ctrl 48", "lines 1A", "data 10",
// "read", "sleep 10".
inline std::vector<std::string> hvpp_events(const BusRecorder& recorder) {
  return recorder.latch_events(ATTINY_LATCHES);
}

struct SimulatedAttiny : SimulatedRig {
  explicit SimulatedAttiny(std::u16string_view row = FLASH_ROW)
      : SimulatedRig(row, "ATTINY2313", Recording::every_access),
        chip(dynamic_cast<sim::AttinyModel*>(board.chip())) {}

  std::vector<uint8_t>& flash() { return memory("main"); }
  std::vector<uint8_t>& eeprom() { return memory("eeprom"); }

  sim::AttinyModel* chip;
};

// The byte i of a test image.
inline std::vector<uint8_t> pattern_image(size_t size, uint8_t seed = 0) {
  std::vector<uint8_t> image(size);
  for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + seed + (i >> 8));
  return image;
}

}  // namespace fp::test
