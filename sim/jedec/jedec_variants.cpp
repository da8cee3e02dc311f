#include "sim/jedec/jedec_variants.h"

#include <array>

#include "sim/chip_model.h"

namespace fp::sim {
namespace {

// Bottom boot block, then two parameter blocks and two main blocks.
constexpr std::array<SectorRange, 5> AT49F002_SECTORS{{
    {0x00000, 0x04000},
    {0x04000, 0x02000},
    {0x06000, 0x02000},
    {0x08000, 0x18000},
    {0x20000, 0x20000},
}};

// Uniform sectors from address 0: the SST39SF's 4 KiB, the Am29F010's 16 KiB.
template <size_t COUNT>
constexpr std::array<SectorRange, COUNT> uniform_sectors(uint32_t size) {
  std::array<SectorRange, COUNT> sectors{};
  for (size_t i = 0; i < COUNT; ++i) sectors[i] = {static_cast<uint32_t>(i) * size, size};
  return sectors;
}
constexpr auto SST39SF010A_SECTORS = uniform_sectors<32>(0x1000);
constexpr auto SST39SF020A_SECTORS = uniform_sectors<64>(0x1000);
constexpr auto AM29F010_SECTORS = uniform_sectors<8>(0x4000);
constexpr auto SST39SF512_SECTORS = uniform_sectors<16>(0x1000);
constexpr auto SST39SF040_SECTORS = uniform_sectors<128>(0x1000);
constexpr auto F040_SECTORS = uniform_sectors<8>(0x10000);
constexpr std::array<SectorRange, 4> AT49F001_SECTORS{
    {{0x00000, 0x4000}, {0x04000, 0x2000}, {0x06000, 0x2000}, {0x08000, 0x18000}}};
constexpr std::array<SectorRange, 4> AT49F001T_SECTORS{
    {{0x00000, 0x18000}, {0x18000, 0x2000}, {0x1A000, 0x2000}, {0x1C000, 0x4000}}};
constexpr std::array<SectorRange, 5> AT49F002T_SECTORS{{{0x00000, 0x20000},
                                                        {0x20000, 0x18000},
                                                        {0x38000, 0x2000},
                                                        {0x3A000, 0x2000},
                                                        {0x3C000, 0x4000}}};
constexpr std::array<SectorRange, 7> F002B_SECTORS{{{0x00000, 0x4000},
                                                    {0x04000, 0x2000},
                                                    {0x06000, 0x2000},
                                                    {0x08000, 0x8000},
                                                    {0x10000, 0x10000},
                                                    {0x20000, 0x10000},
                                                    {0x30000, 0x10000}}};
constexpr std::array<SectorRange, 7> F002T_SECTORS{{{0x00000, 0x10000},
                                                    {0x10000, 0x10000},
                                                    {0x20000, 0x10000},
                                                    {0x30000, 0x8000},
                                                    {0x38000, 0x2000},
                                                    {0x3A000, 0x2000},
                                                    {0x3C000, 0x4000}}};
constexpr std::array<SectorRange, 7> MX29F001B_SECTORS{{{0x00000, 0x2000},
                                                        {0x02000, 0x1000},
                                                        {0x03000, 0x1000},
                                                        {0x04000, 0x2000},
                                                        {0x06000, 0x2000},
                                                        {0x08000, 0x8000},
                                                        {0x10000, 0x10000}}};
constexpr std::array<SectorRange, 7> MX29F001T_SECTORS{{{0x00000, 0x10000},
                                                        {0x10000, 0x8000},
                                                        {0x18000, 0x2000},
                                                        {0x1A000, 0x2000},
                                                        {0x1C000, 0x1000},
                                                        {0x1D000, 0x1000},
                                                        {0x1E000, 0x2000}}};

// The "2AA" parts decode command addresses from A0-A10 only.
constexpr uint32_t A0_A10 = 0x7FF;

constexpr uint64_t MS = 1000;
constexpr uint64_t S = 1000 * MS;

// Page write time: 10 ms at most, the model takes 5 ms.
constexpr std::array VARIANTS{
    JedecVariant{
        "AT29C010A", 0x1F, 0xD5, 0x20000, WriteUnit::page, 0x80, 150, 5 * MS, 20 * MS, {}, 0},
    JedecVariant{
        "AT29C040A", 0x1F, 0xA4, 0x80000, WriteUnit::page, 0x100, 150, 5 * MS, 20 * MS, {}, 0},
    // Byte program 10 µs; chip erase 10 s at most, the model takes 4 s.
    JedecVariant{"AT49F512", 0x1F, 0x03, 0x10000, WriteUnit::byte, 0, 0, 10, 4 * S, {}, 0},
    JedecVariant{"AT49F002", 0x1F, 0x07, 0x40000, WriteUnit::byte, 0, 0, 10, 6 * S,
                 AT49F002_SECTORS, 2 * S},
    // Chip erase 50 ms at most, the model takes 40 ms.
    JedecVariant{
        "W29EE512", 0xDA, 0xC8, 0x10000, WriteUnit::page, 0x80, 200, 5 * MS, 40 * MS, {}, 0},
    JedecVariant{
        "AT29C020", 0x1F, 0xDA, 0x40000, WriteUnit::page, 0x100, 150, 5 * MS, 20 * MS, {}, 0},
    JedecVariant{
        "W29C020", 0xDA, 0x45, 0x40000, WriteUnit::page, 0x80, 200, 5 * MS, 40 * MS, {}, 0},
    JedecVariant{"AT49F010", 0x1F, 0x17, 0x20000, WriteUnit::byte, 0, 0, 10, 4 * S, {}, 0},
    // Typical figures: byte 14 µs, sector 18 ms, chip 70 ms.
    JedecVariant{"SST39SF010A", 0xBF, 0xB5, 0x20000, WriteUnit::byte, 0, 0, 14, 70 * MS,
                 SST39SF010A_SECTORS, 18 * MS},
    JedecVariant{"SST39SF020A", 0xBF, 0xB6, 0x40000, WriteUnit::byte, 0, 0, 14, 70 * MS,
                 SST39SF020A_SECTORS, 18 * MS},
    // Byte 14 µs, sector 1 s, chip 2 s (maxima 300 µs, 8 s, 64 s).
    JedecVariant{"AM29F010", 0x01, 0x20, 0x20000, WriteUnit::byte, 0, 0, 14, 2 * S,
                 AM29F010_SECTORS, 1 * S},
    JedecVariant{
        "AT29C512", 0x1F, 0x5D, 0x10000, WriteUnit::page, 0x80, 150, 5 * MS, 20 * MS, {}, 0},
    JedecVariant{
        "W29C010M", 0xDA, 0xC1, 0x20000, WriteUnit::page, 0x80, 200, 5 * MS, 40 * MS, {}, 0},
    JedecVariant{
        "SST29EE010", 0xBF, 0x07, 0x20000, WriteUnit::page, 0x80, 200, 5 * MS, 20 * MS, {}, 0},
    JedecVariant{
        "SST29EE020", 0xBF, 0x10, 0x40000, WriteUnit::page, 0x80, 200, 5 * MS, 20 * MS, {}, 0},
    JedecVariant{"AT49F020", 0x1F, 0x0B, 0x40000, WriteUnit::byte, 0, 0, 10, 4 * S, {}, 0},
    JedecVariant{"AT49F001", 0x1F, 0x05, 0x20000, WriteUnit::byte, 0, 0, 10, 4 * S,
                 AT49F001_SECTORS, 2 * S},
    JedecVariant{"AT49F001T", 0x1F, 0x04, 0x20000, WriteUnit::byte, 0, 0, 10, 4 * S,
                 AT49F001T_SECTORS, 2 * S},
    JedecVariant{"AT49F002T", 0x1F, 0x08, 0x40000, WriteUnit::byte, 0, 0, 10, 6 * S,
                 AT49F002T_SECTORS, 2 * S},
    JedecVariant{"SST39SF512", 0xBF, 0xB4, 0x10000, WriteUnit::byte, 0, 0, 14, 70 * MS,
                 SST39SF512_SECTORS, 18 * MS},
    JedecVariant{"AM29F002B", 0x01, 0x34, 0x40000, WriteUnit::byte, 0, 0, 14, 4 * S, F002B_SECTORS,
                 1 * S, A0_A10},
    JedecVariant{"AM29F002T", 0x01, 0xB0, 0x40000, WriteUnit::byte, 0, 0, 14, 4 * S, F002T_SECTORS,
                 1 * S, A0_A10},
    JedecVariant{"MX29F001B", 0xC2, 0x19, 0x20000, WriteUnit::byte, 0, 0, 14, 2 * S,
                 MX29F001B_SECTORS, 1 * S, A0_A10},
    JedecVariant{"MX29F001T", 0xC2, 0x18, 0x20000, WriteUnit::byte, 0, 0, 14, 2 * S,
                 MX29F001T_SECTORS, 1 * S, A0_A10},
    JedecVariant{"MX29F002B", 0xC2, 0x34, 0x40000, WriteUnit::byte, 0, 0, 14, 4 * S, F002B_SECTORS,
                 1 * S, A0_A10},
    JedecVariant{"MX29F002T", 0xC2, 0xB0, 0x40000, WriteUnit::byte, 0, 0, 14, 4 * S, F002T_SECTORS,
                 1 * S, A0_A10},
    JedecVariant{"PM39F010", 0x9D, 0x1C, 0x20000, WriteUnit::byte, 0, 0, 14, 70 * MS,
                 SST39SF010A_SECTORS, 18 * MS, A0_A10},
    JedecVariant{"PM39F020", 0x9D, 0x4D, 0x40000, WriteUnit::byte, 0, 0, 14, 70 * MS,
                 SST39SF020A_SECTORS, 18 * MS, A0_A10},
    JedecVariant{"W49F020", 0xDA, 0x8C, 0x40000, WriteUnit::byte, 0, 0, 10, 4 * S, {}, 0},
    JedecVariant{"W49F002U", 0xDA, 0x0B, 0x40000, WriteUnit::byte, 0, 0, 10, 6 * S,
                 AT49F002T_SECTORS, 2 * S},
    // The 4-Mbit parts with A18 on pin 1.
    JedecVariant{"SST39SF040", 0xBF, 0xB7, 0x80000, WriteUnit::byte, 0, 0, 14, 70 * MS,
                 SST39SF040_SECTORS, 18 * MS},
    JedecVariant{"AM29F040B", 0x01, 0xA4, 0x80000, WriteUnit::byte, 0, 0, 14, 8 * S, F040_SECTORS,
                 1 * S, A0_A10},
    JedecVariant{"MX29F040", 0xC2, 0xA4, 0x80000, WriteUnit::byte, 0, 0, 14, 8 * S, F040_SECTORS,
                 1 * S, A0_A10},
    JedecVariant{"PM39F040", 0x9D, 0x4E, 0x80000, WriteUnit::byte, 0, 0, 14, 70 * MS,
                 SST39SF040_SECTORS, 18 * MS, A0_A10},
    JedecVariant{"AT49F040", 0x1F, 0x13, 0x80000, WriteUnit::byte, 0, 0, 10, 6 * S, {}, 0},
    JedecVariant{
        "W29C040", 0xDA, 0x46, 0x80000, WriteUnit::page, 0x100, 200, 5 * MS, 40 * MS, {}, 0},
    // The older AT29C040: 512-byte pages.
    JedecVariant{
        "AT29C040", 0x1F, 0x5B, 0x80000, WriteUnit::page, 0x200, 150, 5 * MS, 20 * MS, {}, 0},
};

}  // namespace

std::span<const JedecVariant> jedec_variants() {
  return VARIANTS;
}

std::optional<JedecVariant> find_jedec_variant(std::string_view name) {
  const JedecVariant* variant = find_variant(jedec_variants(), name);
  if (variant == nullptr) return std::nullopt;
  return *variant;
}

}  // namespace fp::sim
