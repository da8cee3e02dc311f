// Programmers for the ATtiny2313 tests: one on a recording port (exact
// traffic, scripted read-back), one on the simulated board with the chip.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/attiny/attiny_model.h"
#include "sim/simulated_board.h"
#include "tests/attiny/latch_log.h"
#include "tests/support/programmer_rigs.h"
#include "tests/support/recording_port.h"

namespace fp::test {

inline constexpr char16_t FLASH_ROW[] = u"ATTINY2313 - FLASH";
inline constexpr char16_t EEPROM_ROW[] = u"ATTINY2313 - EEPROM";

struct RecordedAttiny {
  explicit RecordedAttiny(std::u16string_view row = FLASH_ROW)
      : context(log, log, services, view, catalogue_row(row)) {}

  RecordingPort port;
  RecordingServices services;
  NoClock clock;
  LatchLog log{port, clock};
  FakeMainView view;
  ProgrammerContext context;
};

struct SimulatedAttiny {
  explicit SimulatedAttiny(std::u16string_view row = FLASH_ROW)
      : context(log, log, priority, view, catalogue_row(row)) {
    auto model = std::make_unique<sim::AttinyModel>(sim::attiny2313_variant());
    chip = model.get();
    board.insert(std::move(model));
  }

  std::vector<uint8_t>& flash() { return *chip->memory("main"); }
  std::vector<uint8_t>& eeprom() { return *chip->memory("eeprom"); }

  sim::SimulatedBoard board;
  sim::VirtualClock virtual_clock{board};
  LatchLog log{board, virtual_clock};
  sim::RecordedPriority priority;
  FakeMainView view;
  ProgrammerContext context;
  sim::AttinyModel* chip = nullptr;
};

// The byte i of a test image.
inline std::vector<uint8_t> pattern_image(size_t size, uint8_t seed = 0) {
  std::vector<uint8_t> image(size);
  for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + seed + (i >> 8));
  return image;
}

}  // namespace fp::test
