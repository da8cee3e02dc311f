// A planned write: the chip ends up holding the image and, outside
// the slice, what it held before. It reads what it needs, erases only when a
// bit must go from 0 to 1 (the smallest erase the row offers that covers
// those bytes), and takes the erased regions one at a time: erase, program
// back its kept bytes and its part of the slice, verify, and only then the
// next one, so that at most one region is at risk. When something fails after
// an erase it programs back what it can of that region and hands over what the
// region held (WriteReport::rescue). The row's catalogue slots and chip
// handlers do the work.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/chip_slice.h"
#include "chips/common/programmer_context.h"

namespace fp {

// Chip addresses [start, end).
struct AddressRange {
  uint32_t start;
  uint32_t end;
  bool operator==(const AddressRange&) const = default;
};

// A region erased by a write that then failed: what it held before the erase,
// and the addresses outside the slice that could not be brought back to it.
struct WriteRescue {
  uint32_t start = 0;
  std::vector<uint8_t> old_bytes;
  std::vector<AddressRange> not_restored;
};

struct WriteReport {
  uint32_t programmed_bytes = 0;     // bytes that differed and were programmed
  uint32_t erased_bytes = 0;         // bytes the erases covered
  uint32_t restored_bytes = 0;       // bytes outside the slice put back after an erase
  std::vector<AddressRange> erased;  // the regions erased, in order
  // The verify failed, and every write unit it found wrong holds what it held
  // before the write (a chip that took none of those units).
  bool wrong_units_unchanged = false;
  std::optional<WriteRescue> rescue;
};

// What a write would do, found by reading alone.
struct WritePlan {
  std::vector<AddressRange> erase;  // regions to erase
  uint32_t program_bytes = 0;       // bytes to program (after those erases)
  uint32_t put_back_bytes = 0;      // bytes outside the slice to program back after an erase
  uint32_t slice_differs = 0;       // bytes of the slice the chip holds otherwise now
};

// "1C000h-1CFFFh, 1E000h" (ranges of one byte as one address).
std::string ranges_text(const std::vector<AddressRange>& ranges);

// Where the planner says why a write stopped.
using WriteFailure = std::function<void(std::string_view why)>;

class WritePlanner {
 public:
  // quiet(true) while the planner runs an erase handler that reports to the
  // operator itself: its success is part of the write, not a result of its own.
  // The reasons fail is given come in English, or in Russian.
  WritePlanner(ProgrammerContext& context, WriteFailure fail, std::function<void(bool)> quiet,
               bool english = true)
      : context_(context), fail_(std::move(fail)), quiet_(std::move(quiet)), english_(english) {}

  // True when the chip holds the slice; otherwise fail has said why.
  bool write(const ImageSlice& slice);
  [[nodiscard]] const WriteReport& report() const { return report_; }
  // What write(slice) would erase and program, the chip only read; nothing
  // after fail has said why.
  std::optional<WritePlan> plan(const ImageSlice& slice);

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

  // The chip's units under the slice, and what they must hold; false after saying why.
  bool read_slice(const ImageSlice& slice, ChipImage& image, uint8_t& fuse_high);
  bool extend(ChipImage& image, uint32_t start, uint32_t end);
  std::vector<Region> erase_regions(const ChipImage& image) const;
  // Erase, program and verify one region; on a failure it is put back as far as it can be.
  bool write_region(const Region& region, ChipImage& image, const ImageSlice& slice);
  bool erase(const Region& region, bool whole_chip);
  // Programs the units of [first, last) (indexes into image) that differ.
  bool program(ChipImage& image, uint32_t first, uint32_t last);
  bool program_range(const uint8_t* bytes, uint32_t address, uint32_t count);
  bool verify_region(const Region& region, const ChipImage& image);
  void put_back(const Region& region, std::vector<uint8_t> old_bytes, const ChipImage& image,
                const ImageSlice& slice);
  bool attiny_unlocked(uint8_t& fuse_high);
  bool restore_eeprom(const std::vector<uint8_t>& eeprom);
  // The EEPROM of the selected ATtiny row's chip.
  [[nodiscard]] uint32_t eeprom_size() const;
  bool verify(const ImageSlice& slice, const ChipImage& image);
  // Over the bytes read before the write: true when some unit is wrong and
  // every wrong unit holds those bytes.
  [[nodiscard]] bool wrong_units_unchanged(const std::vector<uint8_t>& chip,
                                           const ChipImage& image) const;

  [[nodiscard]] std::string refused_verify_read() const;

  ProgrammerContext& context_;
  WriteFailure fail_;
  std::function<void(bool)> quiet_;
  bool english_;
  WriteReport report_;
  bool chip_not_ready_ = false;
  std::vector<Region> verified_;  // regions already read back whole
  ChipImage before_;              // the chip as first read, before anything changed
};

}  // namespace fp
