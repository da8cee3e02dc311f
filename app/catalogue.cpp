#include "app/catalogue.h"

#include <array>

#include "chips/at89c/at89c_slots.h"
#include "chips/attiny/attiny_slots.h"
#include "chips/highvolt/block_map.h"
#include "chips/highvolt/highvolt_slots.h"
#include "chips/jedec/jedec_commands.h"
#include "chips/jedec/jedec_slots.h"

namespace fp {
namespace {

// param: i28F001BX block map (1 top boot, 2 bottom boot); software-protected
// flash: page length of the protection commands; unused (0) elsewhere.
constexpr std::array<ChipDescriptor, 13> CATALOGUE{{
    {u"i28F001BX-T", 0x20000, I28F001BX_SLOTS, BLOCK_MAP_TOP_BOOT},
    {u"i28F001BX-B", 0x20000, I28F001BX_SLOTS, BLOCK_MAP_BOTTOM_BOOT},
    {u"AT29C010A", 0x20000, AT29C010A_SLOTS, AT29C010A_PAGE_SIZE},
    {u"AT29C040A", 0x80000, AT29C040A_SLOTS, AT29C040A_PAGE_SIZE},
    {u"AT49F512", 0x10000, AT49F_SLOTS, 0},
    {u"AT49F002", 0x40000, AT49F_SLOTS, 0},
    {u"ATTINY2313 - FLASH", FLASH_BYTES, ATTINY_FLASH_SLOTS, 0},
    {u"ATTINY2313 - EEPROM", EEPROM_BYTES, ATTINY_EEPROM_SLOTS, 0},
    {u"AT89C2051/2052", 0x800, AT89C_SLOTS, 0},
    {u"AT89C4051/4052", 0x1000, AT89C_SLOTS, 0},
    {u"AM28F001", 0x20000, AM28F001_SLOTS, 0},
    {u"W29EE512", 0x10000, W29EE512_SLOTS, W29EE512_PAGE_SIZE},
    {nullptr, 0, {}, 0},
}};

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

ReadHandler read_handler(const ChipDescriptor& row) {
  return row.slots.on_read != nullptr ? row.slots.on_read : default_read;
}

DataHandler verify_handler(const ChipDescriptor& row) {
  return row.slots.on_verify != nullptr ? row.slots.on_verify : default_verify;
}

}  // namespace fp
