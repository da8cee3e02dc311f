// A planned write: the chip ends up holding the image and, outside
// the slice, what it held before. It reads what it needs, erases only when a
// bit must go from 0 to 1 (the smallest erase the row offers that covers
// those bytes), puts back what the erase wiped outside the slice, programs
// only what differs and verifies. The row's catalogue slots and chip
// handlers do the work.
#pragma once

#include <functional>
#include <string_view>

#include "app/chip_slice.h"
#include "chips/common/programmer_context.h"

namespace fp {

struct WriteReport {
  uint32_t programmed_bytes = 0;  // bytes that differed and were programmed
  uint32_t erased_bytes = 0;      // bytes the erases covered
  uint32_t restored_bytes = 0;    // bytes outside the slice put back after an erase
};

// Where the planner says why a write stopped.
using WriteFailure = std::function<void(std::string_view why)>;

class WritePlanner {
 public:
  // quiet(true) while the planner runs an erase handler that reports to the
  // operator itself: its success is part of the write, not a result of its own.
  WritePlanner(ProgrammerContext& context, WriteFailure fail, std::function<void(bool)> quiet)
      : context_(context), fail_(std::move(fail)), quiet_(std::move(quiet)) {}

  // True when the chip holds the slice; otherwise fail has said why.
  bool write(const ImageSlice& slice);
  [[nodiscard]] const WriteReport& report() const { return report_; }

 private:
  struct Region {
    uint32_t start;
    uint32_t size;
  };
  // The chip's bytes as they are (now) and as they must end (want) over [start, start + size).
  struct ChipImage {
    uint32_t start = 0;
    std::vector<uint8_t> now;
    std::vector<uint8_t> want;
  };

  bool extend(ChipImage& image, uint32_t start, uint32_t end);
  std::vector<Region> erase_regions(const ChipImage& image) const;
  bool erase(const Region& region, bool whole_chip);
  bool program(ChipImage& image);
  bool program_range(const uint8_t* bytes, uint32_t address, uint32_t count);
  bool attiny_unlocked(uint8_t& fuse_high);
  bool verify(const ImageSlice& slice, const ChipImage& image);

  ProgrammerContext& context_;
  WriteFailure fail_;
  std::function<void(bool)> quiet_;
  WriteReport report_;
  bool chip_not_ready_ = false;
};

}  // namespace fp
