#include "app/family_operations.h"

#include <algorithm>

#include "chips/at89c/at89c_handlers.h"
#include "chips/attiny/attiny_handlers.h"
#include "chips/common/common_handlers.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "chips/jedec/jedec_handlers.h"
#include "ui/texts.h"

namespace fp {
namespace {

const ChipFacts& facts_of(const ProgrammerContext& context) {
  return context.current_chip->facts;
}

bool in_map(std::span<const BlockRange> map, const BlockRange& block) {
  return std::find(map.begin(), map.end(), block) != map.end();
}

// Blocks of the map, each once; anything else names what the chip has not.
bool valid_blocks(std::span<const BlockRange> map, std::span<const BlockRange> blocks) {
  if (blocks.empty()) return false;
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (!in_map(map, blocks[i])) return false;
    if (std::find(blocks.begin(), blocks.begin() + static_cast<std::ptrdiff_t>(i), blocks[i]) !=
        blocks.begin() + static_cast<std::ptrdiff_t>(i)) {
      return false;
    }
  }
  return true;
}

BlockOutcome block_result(const std::optional<BlockRange>& failed) {
  if (failed) return {OperationStatus::failed, failed};
  return {OperationStatus::done, std::nullopt};
}

BlockOutcome verdict(bool good) {
  return {good ? OperationStatus::done : OperationStatus::failed, std::nullopt};
}

// The rows that erase only as a whole. AT89C and ATtiny chips say nothing of
// how an erase went: done means the erase ran, and a blank check tells more.
BlockOutcome whole_chip_erase(ProgrammerContext& context) {
  const ChipFacts& facts = facts_of(context);
  if (facts.erase != EraseLayout::whole_chip) return {};
  switch (facts.driver) {
    case ChipDriver::page_write:
      return verdict(w29ee512_chip_erase(context));
    case ChipDriver::am28f_pulses:
      return verdict(am28f_erase_chip(context));
    case ChipDriver::at89c_serial:
      at89c_chip_erase(context);
      return verdict(true);
    case ChipDriver::attiny_flash:
      attiny_chip_erase(context);
      return verdict(true);
    default:
      return {};
  }
}

bool whole_chip_blank_of(ProgrammerContext& context) {
  switch (facts_of(context).driver) {
    case ChipDriver::at89c_serial:
      return at89c_chip_blank(context);
    case ChipDriver::attiny_flash:
      return attiny_flash_blank(context);
    case ChipDriver::attiny_eeprom:
      return attiny_eeprom_blank(context);
    default:
      return whole_chip_blank(context);
  }
}

BlockOutcome sector_erase(ProgrammerContext& context, const EraseRequest& request) {
  const ChipFacts& facts = facts_of(context);
  EraseChoice choice{EraseTarget::whole_chip, 0};
  if (request.scope == EraseScope::blocks) return {};
  if (request.scope == EraseScope::sector) {
    const bool starts_sector =
        facts.erase == EraseLayout::sectors &&
        std::any_of(facts.erase_map.begin(), facts.erase_map.end(),
                    [&](const BlockRange& sector) { return sector.address == request.sector; });
    if (!starts_sector) return {};
    choice = {EraseTarget::block, request.sector};
  }
  if (at49f_erase_choice(context, choice)) return {OperationStatus::done, std::nullopt};
  return {OperationStatus::failed, std::nullopt};
}

BlockOutcome block_erase(ProgrammerContext& context, const EraseRequest& request) {
  const std::span<const BlockRange> map = facts_of(context).erase_map;
  switch (request.scope) {
    case EraseScope::whole_chip:
      return block_result(i28f_erase_blocks(context, map));
    case EraseScope::blocks:
      if (!valid_blocks(map, request.blocks)) return {};
      return block_result(i28f_erase_blocks(context, request.blocks));
    case EraseScope::sector:
      break;
  }
  return {};
}

}  // namespace

BlockOutcome erase(ProgrammerContext& context, const EraseRequest& request) {
  const ChipDescriptor& row = *context.current_chip;
  switch (row.facts.driver) {
    case ChipDriver::byte_program:
      return sector_erase(context, request);
    case ChipDriver::i28f_blocks:
      return block_erase(context, request);
    default:
      if (request.scope != EraseScope::whole_chip) return {};
      return whole_chip_erase(context);
  }
}

bool erase_asks_first(const ChipDescriptor& row) {
  return row.facts.driver == ChipDriver::page_write && row.facts.erase == EraseLayout::whole_chip;
}

const char16_t* erase_refusal(const ChipDescriptor& row) {
  return row.facts.driver == ChipDriver::attiny_eeprom ? text::EEPROM_ERASE_REFUSED
                                                       : text::NOT_IMPLEMENTED;
}

BlockOutcome blank_check(ProgrammerContext& context, std::span<const BlockRange> blocks) {
  const ChipDescriptor& row = *context.current_chip;
  if (row.facts.driver == ChipDriver::i28f_blocks) {
    const std::span<const BlockRange> map = row.facts.erase_map;
    if (blocks.empty()) blocks = map;
    if (!valid_blocks(map, blocks)) return {};
    return block_result(i28f_blank_check_blocks(context, blocks));
  }
  if (!blocks.empty() || row.slots.on_blank_check == nullptr) return {};
  return verdict(whole_chip_blank_of(context));
}

bool set_protection(ProgrammerContext& context, bool on) {
  if (facts_of(context).protection == DataProtection::none) return false;
  if (on) {
    sdp_on(context);
  } else {
    sdp_off(context);
  }
  return true;
}

std::optional<AttinyBytes> read_fuses(ProgrammerContext& context) {
  if (!facts_of(context).fuses) return std::nullopt;
  return attiny_read_fuses(context);
}

std::optional<AttinyWrite> write_fuses(ProgrammerContext& context, const FuseChange& change) {
  if (!facts_of(context).fuses) return std::nullopt;
  return attiny_write_fuses(context, change);
}

std::optional<AttinyWrite> write_lock(ProgrammerContext& context, uint8_t lock) {
  if (!facts_of(context).fuses) return std::nullopt;
  return attiny_write_lock(context, lock);
}

}  // namespace fp
