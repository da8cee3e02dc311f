// Datasheet figures of the simulated software-protected flash chips. Times
// marked as model values are one point inside the datasheet's range; tests
// may copy a variant and change them to push a chip to its limits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace fp::sim {

struct SectorRange {
  uint32_t start;
  uint32_t size;
};

enum class WriteUnit {
  page,  // page load ended by the byte-load timeout, software data protection
  byte,  // AA 55 A0 and one data cycle per byte
};

struct JedecVariant {
  std::string_view name;
  uint8_t manufacturer_code;
  uint8_t device_code;
  uint32_t size;
  WriteUnit write_unit;
  uint32_t page_size;           // page-write chips
  uint64_t byte_load_limit_us;  // page-write chips: longest gap inside a page load
  uint64_t write_time_us;       // a page write or a byte program
  uint64_t chip_erase_time_us;
  std::span<const SectorRange> sectors;  // empty: no sector erase
  uint64_t sector_erase_time_us;
  // Address lines a command cycle is decoded from (A0-A14; A0-A10 on the
  // "2AA" parts, whose 555/2AA the board's 5555/2AAA match).
  uint32_t command_address_mask = 0x7FFF;
  // A sector erase answers busy only at addresses inside the erasing sector;
  // elsewhere reads give the cells. The datasheets allow the status anywhere,
  // but some chips do this.
  bool status_only_in_erasing_sector = false;
};

std::span<const JedecVariant> jedec_variants();
std::optional<JedecVariant> find_jedec_variant(std::string_view name);

}  // namespace fp::sim
