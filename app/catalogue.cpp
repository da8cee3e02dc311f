#include "app/catalogue.h"

#include <array>
#include <string_view>

#include "chips/at89c/at89c_commands.h"
#include "chips/at89c/at89c_slots.h"
#include "chips/attiny/attiny_commands.h"
#include "chips/attiny/attiny_slots.h"
#include "chips/highvolt/block_map.h"
#include "chips/highvolt/highvolt_commands.h"
#include "chips/highvolt/highvolt_slots.h"
#include "chips/jedec/jedec_commands.h"
#include "chips/jedec/jedec_slots.h"

namespace fp {
namespace {

// AT49F002 sectors (bottom boot): the boot block, two parameter blocks, two main blocks.
constexpr std::array<BlockRange, 5> AT49F002_SECTORS{{
    {0x00000, 0x4000},
    {0x04000, 0x2000},
    {0x06000, 0x2000},
    {0x08000, 0x18000},
    {0x20000, 0x20000},
}};

// 4 KiB sectors of the SST39SF chips, and the AMD 16 KiB ones.
template <size_t COUNT>
constexpr std::array<BlockRange, COUNT> uniform_sectors(uint32_t size) {
  std::array<BlockRange, COUNT> sectors{};
  for (size_t i = 0; i < COUNT; ++i) sectors[i] = {static_cast<uint32_t>(i) * size, size};
  return sectors;
}
constexpr auto SST39SF010A_SECTORS = uniform_sectors<32>(0x1000);
constexpr auto SST39SF020A_SECTORS = uniform_sectors<64>(0x1000);
constexpr auto AM29F010_SECTORS = uniform_sectors<8>(0x4000);
constexpr auto SST39SF512_SECTORS = uniform_sectors<16>(0x1000);
constexpr auto SST39SF040_SECTORS = uniform_sectors<128>(0x1000);
constexpr auto F040_SECTORS = uniform_sectors<8>(0x10000);
// Boot-block maps from address 0: B(ottom) boot first, T(op) boot last.
constexpr std::array<BlockRange, 4> AT49F001_SECTORS{
    {{0x00000, 0x4000}, {0x04000, 0x2000}, {0x06000, 0x2000}, {0x08000, 0x18000}}};
constexpr std::array<BlockRange, 4> AT49F001T_SECTORS{
    {{0x00000, 0x18000}, {0x18000, 0x2000}, {0x1A000, 0x2000}, {0x1C000, 0x4000}}};
constexpr std::array<BlockRange, 5> AT49F002T_SECTORS{{{0x00000, 0x20000},
                                                       {0x20000, 0x18000},
                                                       {0x38000, 0x2000},
                                                       {0x3A000, 0x2000},
                                                       {0x3C000, 0x4000}}};
constexpr std::array<BlockRange, 7> F002B_SECTORS{{{0x00000, 0x4000},
                                                   {0x04000, 0x2000},
                                                   {0x06000, 0x2000},
                                                   {0x08000, 0x8000},
                                                   {0x10000, 0x10000},
                                                   {0x20000, 0x10000},
                                                   {0x30000, 0x10000}}};
constexpr std::array<BlockRange, 7> F002T_SECTORS{{{0x00000, 0x10000},
                                                   {0x10000, 0x10000},
                                                   {0x20000, 0x10000},
                                                   {0x30000, 0x8000},
                                                   {0x38000, 0x2000},
                                                   {0x3A000, 0x2000},
                                                   {0x3C000, 0x4000}}};
constexpr std::array<BlockRange, 7> MX29F001B_SECTORS{{{0x00000, 0x2000},
                                                       {0x02000, 0x1000},
                                                       {0x03000, 0x1000},
                                                       {0x04000, 0x2000},
                                                       {0x06000, 0x2000},
                                                       {0x08000, 0x8000},
                                                       {0x10000, 0x10000}}};
constexpr std::array<BlockRange, 7> MX29F001T_SECTORS{{{0x00000, 0x10000},
                                                       {0x10000, 0x8000},
                                                       {0x18000, 0x2000},
                                                       {0x1A000, 0x2000},
                                                       {0x1C000, 0x1000},
                                                       {0x1D000, 0x1000},
                                                       {0x1E000, 0x2000}}};

constexpr uint16_t FIVE_VOLTS = 5000;
constexpr uint32_t CAT28F001_ERASE_MAX_MS = 15'000;
constexpr uint16_t INTEL_VPP_MAX_MV = 14000;     // Vpp -2.0 V to +14.0 V
constexpr uint16_t ATTINY_RESET_MAX_MV = 13000;  // RESET -0.5 V to +13.0 V
constexpr uint16_t AT89C_VPP_MAX_MV = 12500;     // RST/VPP: 12 V +/- 0.5 V while programming
constexpr uint16_t AT49F_RESET_MAX_MV = 12500;   // RESET: 12 V boot-block override
constexpr uint16_t WINBOND_MAX_MV = 6000;        // every input: VDD + 1.0 V
constexpr uint16_t SST_MAX_MV = 5500;            // every input: VDD + 0.5 V
constexpr uint16_t AMD_MAX_MV = 7000;            // all pins but A9 and /OE: -2.0 V to +7.0 V
constexpr uint8_t ALL_OPERATIONS =
    vpp_use::IDENTIFY | vpp_use::READ | vpp_use::WRITE | vpp_use::ERASE | vpp_use::BLANK_CHECK;

// Facts shared by the rows of one driver; the rows add what is their own.
constexpr ChipFacts i28f(ChipId id, const char* aliases, std::span<const BlockRange> blocks,
                         const char* model) {
  return {.family = ChipFamily::highvolt,
          .driver = ChipDriver::i28f_blocks,
          .id_method = IdMethod::intel_command,
          .id_mv = FIVE_VOLTS,
          .id = id,
          .aliases = aliases,
          .program_max_us = 300,
          .erase_max_ms = ERASE_POLL_LIMIT * ERASE_POLL_INTERVAL_MS,
          .erase = EraseLayout::blocks,
          .erase_map = blocks,
          .ready = ReadySignal::status_register,
          .pin1 = Pin1Role::vpp,
          .pin1_max_mv = INTEL_VPP_MAX_MV,
          .vpp_operations = vpp_use::WRITE | vpp_use::ERASE,
          .model = model};
}

constexpr ChipFacts page_write(ChipId id, uint32_t page, uint32_t load_window_us, Pin1Role pin1,
                               uint16_t pin1_max_mv, const char* model) {
  return {.family = ChipFamily::jedec,
          .driver = ChipDriver::page_write,
          .id_method = IdMethod::jedec_software,
          .id_mv = FIVE_VOLTS,
          .id = id,
          .write_unit = page,
          .rewrites_in_place = true,
          .byte_load_window_us = load_window_us,
          .program_max_us = 10'000,
          .ready = ReadySignal::toggle_bit,
          .protection = DataProtection::default_off,
          .pin1 = pin1,
          .pin1_max_mv = pin1_max_mv,
          .model = model};
}

constexpr ChipFacts byte_program(ChipId id, std::span<const BlockRange> sectors, Pin1Role pin1,
                                 uint16_t pin1_max_mv, const char* model) {
  return {.family = ChipFamily::jedec,
          .driver = ChipDriver::byte_program,
          .id_method = IdMethod::jedec_software,
          .id_mv = FIVE_VOLTS,
          .id = id,
          .program_max_us = 50,
          .erase_max_ms = AT49F_ERASE_WAIT_MS,
          .erase = sectors.empty() ? EraseLayout::whole_chip : EraseLayout::sectors,
          .erase_map = sectors,
          .ready = ReadySignal::toggle_bit,
          .pin1 = pin1,
          .pin1_max_mv = pin1_max_mv,
          .model = model};
}

// A byte-program row with its own timing maxima (byte, largest erase).
constexpr ChipFacts byte_program(ChipId id, std::span<const BlockRange> sectors, Pin1Role pin1,
                                 uint16_t pin1_max_mv, uint32_t program_max_us,
                                 uint32_t erase_max_ms, const char* model,
                                 const char* unconfirmed = "") {
  ChipFacts facts = byte_program(id, sectors, pin1, pin1_max_mv, model);
  facts.program_max_us = program_max_us;
  facts.erase_max_ms = erase_max_ms;
  facts.unconfirmed = unconfirmed;
  return facts;
}

// The byte-program timings of the families, and the facts of their rows.
struct ByteTimes {
  uint32_t program_max_us;
  uint32_t erase_max_ms;
};
constexpr ByteTimes AT49F_TIMES{50, AT49F_ERASE_WAIT_MS};
constexpr ByteTimes SST_TIMES{20, 100};
constexpr ByteTimes AMD_TIMES{300, 64'000};  // the Am29F family's figures
constexpr ChipFacts byte_row(ChipId id, const char* aliases, std::span<const BlockRange> sectors,
                             Pin1Role pin1, uint16_t pin1_max_mv, ByteTimes times,
                             const char* model, const char* unconfirmed) {
  ChipFacts facts = byte_program(id, sectors, pin1, pin1_max_mv, times.program_max_us,
                                 times.erase_max_ms, model, unconfirmed);
  facts.aliases = aliases;
  return facts;
}

// A W29EE512-like row: 128-byte pages, chip erase within 50 ms.
constexpr ChipFacts winbond_page_write(ChipId id, const char* model, const char* unconfirmed) {
  ChipFacts facts = page_write(id, W29EE512_PAGE_SIZE, 200, Pin1Role::nc, WINBOND_MAX_MV, model);
  facts.erase = EraseLayout::whole_chip;
  facts.erase_max_ms = W29EE512_ERASE_WAIT_MS;
  facts.unconfirmed = unconfirmed;
  return facts;
}

constexpr ChipFacts attiny(ChipDriver driver, uint32_t page, uint32_t program_max_us,
                           ChipId id = {{0x1E, 0x91, 0x0A}, 3},
                           // The A part answers the same signature (its factory low fuse differs).
                           const char* aliases = "ATtiny2313A", const char* model = "ATTINY2313") {
  const bool flash = driver == ChipDriver::attiny_flash;
  return {.family = ChipFamily::attiny,
          .driver = driver,
          .socket = SocketKind::dip20,
          .id_method = IdMethod::attiny_high_volts,
          .id_mv = VPP_MV,
          .id = id,
          .aliases = aliases,
          .write_unit = page,
          .rewrites_in_place = !flash,
          .program_max_us = program_max_us,
          .erase_max_ms = 9,
          // The EEPROM is erased only with the flash.
          .erase = flash ? EraseLayout::whole_chip : EraseLayout::none,
          .fuses = true,
          .pin1 = Pin1Role::reset,
          .pin1_max_mv = ATTINY_RESET_MAX_MV,
          .vpp_operations = ALL_OPERATIONS,
          .model = model};
}

constexpr ChipFacts at89c(ChipId id, const char* aliases, const char* model) {
  return {.family = ChipFamily::at89c,
          .driver = ChipDriver::at89c_serial,
          .socket = SocketKind::dip20,
          .id_method = IdMethod::at89c_signature,
          .id_mv = FIVE_VOLTS,
          .id = id,
          .aliases = aliases,
          .program_max_us = AT89C_BYTE_WRITE_MS * 1000,
          .erase_max_ms = AT89C_ERASE_PULSE_MS,
          .erase = EraseLayout::whole_chip,
          .pin1 = Pin1Role::rst_vpp,
          .pin1_max_mv = AT89C_VPP_MAX_MV,
          .vpp_operations = vpp_use::WRITE | vpp_use::ERASE,
          .model = model};
}

constexpr ChipFacts am28f(ChipId id, const char* aliases, const char* model) {
  return {.family = ChipFamily::highvolt,
          .driver = ChipDriver::am28f_pulses,
          .id_method = IdMethod::am28f_command,
          .id_mv = VPP_MV,
          .id = id,
          .aliases = aliases,
          .program_max_us = AM28F_PROGRAM_PULSE_LIMIT * 10,
          .erase_max_ms = AM28F_ERASE_PULSE_LIMIT * AM28F_ERASE_PULSE_MS,
          .erase = EraseLayout::whole_chip,
          .pin1 = Pin1Role::vpp,
          .pin1_max_mv = INTEL_VPP_MAX_MV,
          .vpp_operations = vpp_use::IDENTIFY | vpp_use::WRITE | vpp_use::ERASE,
          .model = model};
}

constexpr ChipFacts W29EE512_FACTS = winbond_page_write({{0xDA, 0xC8}, 2}, "W29EE512", "");

constexpr uint32_t AT29C020_PAGE_SIZE = AT29C040A_PAGE_SIZE;
constexpr uint32_t AT29C040_PAGE_SIZE = 512;
constexpr uint32_t ATTINY4313_PAGE_WORDS = 32;
constexpr ChipId ATTINY4313_ID{{0x1E, 0x92, 0x0D}, 3};
constexpr uint32_t W29C040_PAGE_SIZE = 256;

// The window's twelve rows come first, in the window's order; rows after
// them are the command line's. param: i28F001BX block map (1 top boot, 2
// bottom boot); software-protected flash: page length of the protection
// commands; unused (0) elsewhere.
constexpr auto CATALOGUE = std::to_array<ChipDescriptor>({
    {u"i28F001BX-T", 0x20000, I28F001BX_SLOTS, BLOCK_MAP_TOP_BOOT,
     i28f({{0x89, 0x94}, 2}, "28F001BN-T", TOP_BOOT_BLOCKS, "I28F001BX-T")},
    {u"i28F001BX-B", 0x20000, I28F001BX_SLOTS, BLOCK_MAP_BOTTOM_BOOT,
     i28f({{0x89, 0x95}, 2}, "28F001BN-B", BOTTOM_BOOT_BLOCKS, "I28F001BX-B")},
    {u"AT29C010A", 0x20000, AT29C010A_SLOTS, AT29C010A_PAGE_SIZE,
     page_write({{0x1F, 0xD5}, 2}, AT29C010A_PAGE_SIZE, 150, Pin1Role::nc, FIVE_VOLT_ONLY_MV,
                "AT29C010A")},
    {u"AT29C040A", 0x80000, AT29C040A_SLOTS, AT29C040A_PAGE_SIZE,
     page_write({{0x1F, 0xA4}, 2}, AT29C040A_PAGE_SIZE, 150, Pin1Role::a18, FIVE_VOLT_ONLY_MV,
                "AT29C040A")},
    {u"AT49F512", 0x10000, AT49F_SLOTS, 0,
     byte_program({{0x1F, 0x03}, 2}, {}, Pin1Role::nc, FIVE_VOLT_ONLY_MV, "AT49F512")},
    {u"AT49F002", 0x40000, AT49F_SLOTS, 0,
     byte_program({{0x1F, 0x07}, 2}, AT49F002_SECTORS, Pin1Role::reset, AT49F_RESET_MAX_MV,
                  "AT49F002")},
    {u"ATTINY2313 - FLASH", FLASH_BYTES, ATTINY_FLASH_SLOTS, 0,
     attiny(ChipDriver::attiny_flash, 2 * FLASH_PAGE_WORDS, 4500)},
    {u"ATTINY2313 - EEPROM", EEPROM_BYTES, ATTINY_EEPROM_SLOTS, 0,
     attiny(ChipDriver::attiny_eeprom, EEPROM_PAGE_BYTES, 4000)},
    {u"AT89C2051/2052", 0x800, AT89C_SLOTS, 0,
     at89c({{0x1E, 0x21, 0xFF}, 3}, "AT89C2052", "AT89C2051")},
    {u"AT89C4051/4052", 0x1000, AT89C_SLOTS, 0,
     at89c({{0x1E, 0x41, 0xFF}, 3}, "AT89C4052", "AT89C4051")},
    {u"AM28F001", 0x20000, AM28F001_SLOTS, 0, am28f({{0x01, 0xA7}, 2}, "Am28F010", "AM28F001")},
    {u"W29EE512", 0x10000, W29EE512_SLOTS, W29EE512_PAGE_SIZE, W29EE512_FACTS},
    // Page-write chips.
    {u"AT29C020", 0x40000, AT29C040A_SLOTS, AT29C020_PAGE_SIZE,
     page_write({{0x1F, 0xDA}, 2}, AT29C020_PAGE_SIZE, 150, Pin1Role::nc, FIVE_VOLT_ONLY_MV,
                "AT29C020")},
    {u"W29C020", 0x40000, W29EE512_SLOTS, W29EE512_PAGE_SIZE,
     winbond_page_write({{0xDA, 0x45}, 2}, "W29C020", "pin 1 NC")},
    {u"AT29C512", 0x10000, AT29C010A_SLOTS, AT29C010A_PAGE_SIZE,
     page_write({{0x1F, 0x5D}, 2}, AT29C010A_PAGE_SIZE, 150, Pin1Role::nc, FIVE_VOLT_ONLY_MV,
                "AT29C512")},
    {u"W29C010M", 0x20000, W29EE512_SLOTS, W29EE512_PAGE_SIZE, [] {
       ChipFacts facts = winbond_page_write({{0xDA, 0xC1}, 2}, "W29C010M",
                                            "pin 1 and 30 NC; old steppings answer only the "
                                            "AA 55 80 AA 55 60 ID entry");
       facts.aliases = "W29EE011";
       return facts;
     }()},
    {u"SST29EE010", 0x20000, W29EE512_SLOTS, W29EE512_PAGE_SIZE, [] {
       ChipFacts facts = winbond_page_write({{0xBF, 0x07}, 2}, "SST29EE010", "pin 1 NC");
       facts.pin1_max_mv = SST_MAX_MV;
       return facts;
     }()},
    {u"SST29EE020", 0x40000, W29EE512_SLOTS, W29EE512_PAGE_SIZE, [] {
       ChipFacts facts = winbond_page_write({{0xBF, 0x10}, 2}, "SST29EE020", "pin 1 NC");
       facts.pin1_max_mv = SST_MAX_MV;
       return facts;
     }()},
    // A18 on pin 1: 5 V logic, never 12 V.
    {u"AT29C040", 0x80000, AT29C_ROW_SLOTS, AT29C040_PAGE_SIZE,
     page_write({{0x1F, 0x5B}, 2}, AT29C040_PAGE_SIZE, 150, Pin1Role::a18, FIVE_VOLT_ONLY_MV,
                "AT29C040")},
    {u"W29C040", 0x80000, W29EE_ROW_SLOTS, W29C040_PAGE_SIZE, [] {
       ChipFacts facts = winbond_page_write({{0xDA, 0x46}, 2}, "W29C040", "");
       facts.write_unit = W29C040_PAGE_SIZE;
       facts.pin1 = Pin1Role::a18;
       return facts;
     }()},
    // Byte-program chips.
    {u"AT49F010", 0x20000, AT49F_SLOTS, 0,
     byte_program({{0x1F, 0x17}, 2}, {}, Pin1Role::nc, FIVE_VOLT_ONLY_MV, 50, AT49F_ERASE_WAIT_MS,
                  "AT49F010", "pin 1 NC")},
    {u"SST39SF010A", 0x20000, AT49F_SLOTS, 0,
     byte_program({{0xBF, 0xB5}, 2}, SST39SF010A_SECTORS, Pin1Role::nc, SST_MAX_MV, 20, 100,
                  "SST39SF010A")},
    {u"SST39SF020A", 0x40000, AT49F_SLOTS, 0,
     byte_program({{0xBF, 0xB6}, 2}, SST39SF020A_SECTORS, Pin1Role::nc, SST_MAX_MV, 20, 100,
                  "SST39SF020A")},
    {u"Am29F010", 0x20000, AT49F_SLOTS, 0,
     byte_program({{0x01, 0x20}, 2}, AM29F010_SECTORS, Pin1Role::nc, AMD_MAX_MV, 300, 64'000,
                  "AM29F010", "pin 1 NC; byte, sector and chip maxima (family figures)")},
    {u"AT49F020", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0x1F, 0x0B}, 2}, "", {}, Pin1Role::nc, FIVE_VOLT_ONLY_MV, AT49F_TIMES, "AT49F020",
              "")},
    // The N parts leave pin 1 unconnected: 5 V at most for both.
    {u"AT49F001", 0x20000, AT49F_SLOTS, 0,
     byte_row({{0x1F, 0x05}, 2}, "AT49F001N", AT49F001_SECTORS, Pin1Role::reset,
              FIVE_VOLT_ONLY_MV, AT49F_TIMES, "AT49F001", "sector map")},
    {u"AT49F001T", 0x20000, AT49F_SLOTS, 0,
     byte_row({{0x1F, 0x04}, 2}, "AT49F001NT", AT49F001T_SECTORS, Pin1Role::reset,
              FIVE_VOLT_ONLY_MV, AT49F_TIMES, "AT49F001T", "sector map")},
    {u"AT49F002T", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0x1F, 0x08}, 2}, "AT49F002NT", AT49F002T_SECTORS, Pin1Role::reset,
              FIVE_VOLT_ONLY_MV, AT49F_TIMES, "AT49F002T", "")},
    {u"SST39SF512", 0x10000, AT49F_SLOTS, 0,
     byte_row({{0xBF, 0xB4}, 2}, "", SST39SF512_SECTORS, Pin1Role::nc, SST_MAX_MV, SST_TIMES,
              "SST39SF512", "")},
    {u"Am29F002B", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0x01, 0x34}, 2}, "Am29F002NB", F002B_SECTORS, Pin1Role::reset, AMD_MAX_MV,
              AMD_TIMES, "AM29F002B", "byte, sector and chip maxima (family figures)")},
    {u"Am29F002T", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0x01, 0xB0}, 2}, "Am29F002NT", F002T_SECTORS, Pin1Role::reset, AMD_MAX_MV,
              AMD_TIMES, "AM29F002T", "byte, sector and chip maxima (family figures)")},
    {u"MX29F001B", 0x20000, AT49F_SLOTS, 0,
     byte_row({{0xC2, 0x19}, 2}, "", MX29F001B_SECTORS, Pin1Role::nc, FIVE_VOLT_ONLY_MV,
              AMD_TIMES, "MX29F001B", "pin 1; timing maxima (as Am29F)")},
    {u"MX29F001T", 0x20000, AT49F_SLOTS, 0,
     byte_row({{0xC2, 0x18}, 2}, "", MX29F001T_SECTORS, Pin1Role::nc, FIVE_VOLT_ONLY_MV,
              AMD_TIMES, "MX29F001T", "pin 1; timing maxima (as Am29F)")},
    {u"MX29F002B", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0xC2, 0x34}, 2}, "MX29F002NB", F002B_SECTORS, Pin1Role::reset, FIVE_VOLT_ONLY_MV,
              AMD_TIMES, "MX29F002B", "timing maxima (as Am29F)")},
    {u"MX29F002T", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0xC2, 0xB0}, 2}, "MX29F002NT", F002T_SECTORS, Pin1Role::reset, FIVE_VOLT_ONLY_MV,
              AMD_TIMES, "MX29F002T", "timing maxima (as Am29F)")},
    {u"Pm39F010", 0x20000, AT49F_SLOTS, 0,
     byte_row({{0x9D, 0x1C}, 2}, "", SST39SF010A_SECTORS, Pin1Role::nc, FIVE_VOLT_ONLY_MV,
              SST_TIMES, "PM39F010", "pin 1 NC; timing maxima (as SST39SF)")},
    {u"Pm39F020", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0x9D, 0x4D}, 2}, "", SST39SF020A_SECTORS, Pin1Role::nc, FIVE_VOLT_ONLY_MV,
              SST_TIMES, "PM39F020", "pin 1 NC; timing maxima (as SST39SF)")},
    {u"W49F020", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0xDA, 0x8C}, 2}, "", {}, Pin1Role::nc, WINBOND_MAX_MV, AT49F_TIMES, "W49F020",
              "pin 1; timing maxima (as AT49F)")},
    // #RESET must stay high and has no 12 V rating.
    {u"W49F002U", 0x40000, AT49F_SLOTS, 0,
     byte_row({{0xDA, 0x0B}, 2}, "", AT49F002T_SECTORS, Pin1Role::reset, WINBOND_MAX_MV,
              AT49F_TIMES, "W49F002U", "timing maxima (as AT49F)")},
    // A18 on pin 1: 5 V logic, never 12 V.
    {u"SST39SF040", 0x80000, AT49F_SLOTS, 0,
     byte_row({{0xBF, 0xB7}, 2}, "", SST39SF040_SECTORS, Pin1Role::a18, SST_MAX_MV, SST_TIMES,
              "SST39SF040", "")},
    {u"Am29F040B", 0x80000, AT49F_SLOTS, 0,
     byte_row({{0x01, 0xA4}, 2}, "", F040_SECTORS, Pin1Role::a18, AMD_MAX_MV, AMD_TIMES,
              "AM29F040B", "byte, sector and chip maxima (family figures)")},
    {u"AT49F040", 0x80000, AT49F_SLOTS, 0,
     byte_row({{0x1F, 0x13}, 2}, "", {}, Pin1Role::a18, FIVE_VOLT_ONLY_MV, AT49F_TIMES, "AT49F040",
              "")},
    {u"MX29F040", 0x80000, AT49F_SLOTS, 0,
     byte_row({{0xC2, 0xA4}, 2}, "", F040_SECTORS, Pin1Role::a18, FIVE_VOLT_ONLY_MV, AMD_TIMES,
              "MX29F040", "timing maxima (as Am29F)")},
    {u"Pm39F040", 0x80000, AT49F_SLOTS, 0,
     byte_row({{0x9D, 0x4E}, 2}, "", SST39SF040_SECTORS, Pin1Role::a18, FIVE_VOLT_ONLY_MV,
              SST_TIMES, "PM39F040", "pin 1 A18; timing maxima (as SST39SF)")},
    // 12 V chips.
    {u"28F010", 0x20000, AM28F001_SLOTS, 0, am28f({{0x89, 0xB4}, 2}, "", "I28F010")},
    {u"CAT28F010", 0x20000, AM28F001_SLOTS, 0, am28f({{0x31, 0xB4}, 2}, "", "CAT28F010")},
    {u"28F020", 0x40000, AM28F001_SLOTS, 0, am28f({{0x89, 0xBD}, 2}, "", "I28F020")},
    {u"Am28F020", 0x40000, AM28F001_SLOTS, 0, am28f({{0x01, 0x2A}, 2}, "", "AM28F020")},
    {u"CAT28F020", 0x40000, AM28F001_SLOTS, 0, am28f({{0x31, 0xBD}, 2}, "", "CAT28F020")},
    {u"28F512", 0x10000, AM28F001_SLOTS, 0, am28f({{0x89, 0xB8}, 2}, "", "I28F512")},
    {u"Am28F512", 0x10000, AM28F001_SLOTS, 0, am28f({{0x01, 0x25}, 2}, "", "AM28F512")},
    {u"CAT28F512", 0x10000, AM28F001_SLOTS, 0, am28f({{0x31, 0xB8}, 2}, "", "CAT28F512")},
    {u"28F256A", 0x8000, AM28F001_SLOTS, 0, am28f({{0x89, 0xB9}, 2}, "", "I28F256A")},
    {u"Am28F256", 0x8000, AM28F001_SLOTS, 0, am28f({{0x01, 0xA1}, 2}, "", "AM28F256")},
    {u"CAT28F001-T", 0x20000, I28F001BX_SLOTS, BLOCK_MAP_TOP_BOOT, [] {
       ChipFacts facts = i28f({{0x31, 0x94}, 2}, "", TOP_BOOT_BLOCKS, "CAT28F001-T");
       facts.erase_max_ms = CAT28F001_ERASE_MAX_MS;
       facts.unconfirmed = "block erase up to 15 s";
       return facts;
     }()},
    {u"CAT28F001-B", 0x20000, I28F001BX_SLOTS, BLOCK_MAP_BOTTOM_BOOT, [] {
       ChipFacts facts = i28f({{0x31, 0x95}, 2}, "", BOTTOM_BOOT_BLOCKS, "CAT28F001-B");
       facts.erase_max_ms = CAT28F001_ERASE_MAX_MS;
       facts.unconfirmed = "block erase up to 15 s";
       return facts;
     }()},
    // 20-pin microcontrollers.
    {u"AT89C1051", 0x400, AT89C_SLOTS, 0, at89c({{0x1E, 0x11, 0xFF}, 3}, "", "AT89C1051")},
    {u"AT89C1051U", 0x400, AT89C_SLOTS, 0, at89c({{0x1E, 0x12, 0xFF}, 3}, "", "AT89C1051U")},
    // The ATtiny2313's handlers with the rows' own sizes and flash page.
    {u"ATTINY4313 - FLASH", 0x1000, ATTINY_FLASH_SLOTS, 0,
     attiny(ChipDriver::attiny_flash, 2 * ATTINY4313_PAGE_WORDS, 4500, ATTINY4313_ID, "",
            "ATTINY4313")},
    {u"ATTINY4313 - EEPROM", 0x100, ATTINY_EEPROM_SLOTS, 0,
     attiny(ChipDriver::attiny_eeprom, EEPROM_PAGE_BYTES, 4000, ATTINY4313_ID, "", "ATTINY4313")},
    {nullptr, 0, {}, 0, {}},
});

}  // namespace

const ChipDescriptor* chip_catalogue() {
  return CATALOGUE.data();
}

std::span<const ChipDescriptor> catalogue_rows() {
  return std::span<const ChipDescriptor>(CATALOGUE).first(CATALOGUE.size() - 1);
}

void fill_chip_list(MainView& view, int list_id, const ChipDescriptor* catalogue) {
  for (const ChipDescriptor* row = catalogue; row->name != nullptr; ++row) {
    const int index = view.list_add(list_id, row->name);
    view.list_set_item_data(list_id, index, reinterpret_cast<intptr_t>(row));
  }
}

ChipWaits window_waits(const ChipDescriptor& row) {
  const std::span<const ChipDescriptor> rows = catalogue_rows();
  const bool own = &row >= rows.data() && &row < rows.data() + WINDOW_ROW_COUNT;
  return own ? ChipWaits::fixed : ChipWaits::poll;
}

const ChipDescriptor* companion_row(const ChipDescriptor& row, ChipDriver driver) {
  for (const ChipDescriptor& other : catalogue_rows()) {
    if (other.facts.driver == driver && std::string_view(other.facts.model) == row.facts.model) {
      return &other;
    }
  }
  return nullptr;
}

ReadHandler read_handler(const ChipDescriptor& row) {
  return row.slots.on_read != nullptr ? row.slots.on_read : default_read;
}

DataHandler verify_handler(const ChipDescriptor& row) {
  return row.slots.on_verify != nullptr ? row.slots.on_verify : default_verify;
}

}  // namespace fp
