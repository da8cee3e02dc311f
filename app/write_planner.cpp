#include "app/write_planner.h"

#include <algorithm>
#include <optional>
#include <span>
#include <utility>

#include "app/catalogue.h"
#include "bus/number_text.h"
#include "chips/at89c/at89c_handlers.h"
#include "chips/attiny/attiny_bus.h"
#include "chips/attiny/attiny_handlers.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "chips/jedec/jedec_bus.h"
#include "chips/jedec/jedec_commands.h"
#include "chips/jedec/jedec_handlers.h"
#include "platform/utf8.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {
namespace {

constexpr uint8_t ERASED = 0xFF;

enum class Erase { none, whole_chip, blocks };

using ChipErase = bool (*)(ProgrammerContext& context);
using BlockErase = bool (*)(ProgrammerContext& context, uint32_t address);

bool at49f_whole_erase(ProgrammerContext& context) {
  const bool erased = at49f_chip_erase(context);
  jedec_write(context.bus, CMD_RESET.address, CMD_RESET.data);
  return erased;
}
bool at49f_sector_erase(ProgrammerContext& context, uint32_t address) {
  const bool erased = at49f_block_erase(context, address);
  jedec_write(context.bus, CMD_RESET.address, CMD_RESET.data);
  return erased;
}
bool i28f_one_block_erase(ProgrammerContext& context, uint32_t address) {
  return i28f_block_erase(context, address) == 0;
}
bool at89c_whole_erase(ProgrammerContext& context) {
  at89c_chip_erase(context);
  return true;
}
bool attiny_whole_erase(ProgrammerContext& context) {
  attiny_chip_erase(context);
  return true;
}

struct RowPlan {
  uint32_t unit;  // programmed alone: one byte, or a page written whole
  Erase erase;
  ChipErase erase_chip;
  BlockErase erase_block;
  std::span<const BlockRange> blocks;
  bool attiny;  // lock bits refuse it; a chip erase takes the EEPROM along
};

// The row's write, from its facts: page-write rows and the EEPROM program
// whole units and need no erase; the others erase what their layout offers.
std::optional<RowPlan> plan_for(const ChipDescriptor& row) {
  const ChipFacts& facts = row.facts;
  RowPlan plan{facts.write_unit, Erase::none,     nullptr,
               nullptr,          facts.erase_map, facts.family == ChipFamily::attiny};
  if (plan.unit == 0 || row.size % plan.unit != 0 || row.slots.on_write == nullptr) {
    return std::nullopt;
  }
  if (facts.rewrites_in_place) return plan;
  switch (facts.driver) {
    case ChipDriver::byte_program:
      plan.erase_chip = at49f_whole_erase;
      plan.erase_block = at49f_sector_erase;
      break;
    case ChipDriver::i28f_blocks:
      plan.erase_block = i28f_one_block_erase;
      break;
    case ChipDriver::am28f_pulses:
      plan.erase_chip = am28f_erase_chip;
      break;
    case ChipDriver::at89c_serial:
      plan.erase_chip = at89c_whole_erase;
      break;
    case ChipDriver::attiny_flash:
      plan.erase_chip = attiny_whole_erase;
      break;
    default:
      break;
  }
  const bool by_blocks = facts.erase == EraseLayout::blocks || facts.erase == EraseLayout::sectors;
  if (by_blocks && plan.erase_block != nullptr && !plan.blocks.empty()) {
    plan.erase = Erase::blocks;
  } else if (facts.erase == EraseLayout::whole_chip && plan.erase_chip != nullptr) {
    plan.erase = Erase::whole_chip;
  } else {
    return std::nullopt;  // a write that could not erase what it must
  }
  return plan;
}

// Under CMD_READ_FUSE_LOCK the select alone picks the byte.
constexpr uint8_t READ_FUSE_HIGH = HV_SELECT_BS2_BS1;
constexpr uint8_t READ_LOCK = HV_SELECT_BS1;
constexpr uint8_t EESAVE = 0x40;     // fuse high bit 6, programmed (0): EEPROM kept
constexpr uint8_t LOCK_BITS = 0x03;  // LB1, LB2; 1 = not programmed

// The image gives this byte; a record file's gaps keep the chip's own.
bool image_holds(const ImageSlice& slice, uint32_t address) {
  return address >= slice.start && address < slice.end() && slice.held[address - slice.start];
}

}  // namespace

std::string ranges_text(const std::vector<AddressRange>& ranges) {
  std::string text;
  for (const AddressRange& range : ranges) {
    if (!text.empty()) text += ", ";
    text += address_text(range.start);
    if (range.end - range.start > 1) {
      // Appended in two steps: "-" + a temporary trips a false -Wrestrict in MinGW's g++ 12 at -O3.
      text += '-';
      text += address_text(range.end - 1);
    }
  }
  return text;
}

bool WritePlanner::read_slice(const ImageSlice& slice, ChipImage& image, uint8_t& fuse_high) {
  const ChipDescriptor& row = *context_.current_chip;
  const std::optional<RowPlan> plan = plan_for(row);
  if (!plan) {
    const std::string name = to_utf8(row.name);
    fail_(english_ ? "no planned write for the " + name + "; --no-erase writes as the window does"
                   : "для " + name + " нет планируемой записи; --no-erase пишет, как окно");
    return false;
  }
  if (plan->attiny && !attiny_unlocked(fuse_high)) return false;

  const uint32_t unit = plan->unit;
  image.start = slice.start / unit * unit;
  const uint32_t end = std::min(context_.chip_size, (slice.end() + unit - 1) / unit * unit);
  context_.bus.progress_prefix = text::READING;
  const bool read = extend(image, image.start, end);
  context_.bus.progress_prefix = nullptr;
  if (!read) return false;
  before_ = image;
  for (uint32_t i = 0; i < slice.bytes.size(); ++i) {
    if (slice.held[i]) image.want[slice.start - image.start + i] = slice.bytes[i];
  }
  return true;
}

std::optional<WritePlan> WritePlanner::plan(const ImageSlice& slice) {
  ChipImage image;
  uint8_t fuse_high = 0xFF;
  if (!read_slice(slice, image, fuse_high)) return std::nullopt;
  WritePlan plan;
  for (uint32_t i = 0; i < image.now.size(); ++i) {
    if (image.want[i] != image.now[i]) ++plan.slice_differs;
  }
  if (image.want == image.now) return plan;
  const std::vector<Region> regions = plan_for(*context_.current_chip)->erase == Erase::none
                                          ? std::vector<Region>{}
                                          : erase_regions(image);
  context_.bus.progress_prefix = text::READING;
  for (const Region& region : regions) {
    if (!extend(image, region.start, region.start + region.size)) {
      context_.bus.progress_prefix = nullptr;
      return std::nullopt;
    }
    plan.erase.push_back({region.start, region.start + region.size});
    for (uint32_t address = region.start; address < region.start + region.size; ++address) {
      const uint32_t i = address - image.start;
      if (!image_holds(slice, address) && image.now[i] != ERASED) ++plan.put_back_bytes;
      image.now[i] = ERASED;
    }
  }
  context_.bus.progress_prefix = nullptr;
  for (uint32_t i = 0; i < image.now.size(); ++i) {
    if (image.want[i] != image.now[i]) ++plan.program_bytes;
  }
  return plan;
}

bool WritePlanner::write(const ImageSlice& slice) {
  const std::optional<RowPlan> plan = plan_for(*context_.current_chip);
  ChipImage image;
  uint8_t fuse_high = 0xFF;
  if (!read_slice(slice, image, fuse_high)) return false;
  if (image.want == image.now) return true;

  const std::vector<Region> regions =
      plan->erase == Erase::none ? std::vector<Region>{} : erase_regions(image);
  std::vector<uint8_t> eeprom;
  if (!regions.empty()) {
    context_.bus.progress_prefix = text::READING;
    for (const Region& region : regions) {
      if (!extend(image, region.start, region.start + region.size)) return false;
    }
    if (plan->attiny && (fuse_high & EESAVE) != 0) {
      eeprom.resize(eeprom_size());
      attiny_eeprom_read(context_, eeprom.data(), 0, eeprom_size());
    }
    context_.bus.progress_prefix = nullptr;
  }
  for (const Region& region : regions) {
    if (!write_region(region, image, slice)) return false;
  }
  // What no erase touched only has bits to clear.
  if (!program(image, 0, static_cast<uint32_t>(image.now.size()))) {
    // The verify says how far a write came that the chip never finished.
    if (chip_not_ready_) verify(slice, image);
    return false;
  }
  if (!eeprom.empty() && !restore_eeprom(eeprom)) return false;
  return verify(slice, image);
}

bool WritePlanner::write_region(const Region& region, ChipImage& image, const ImageSlice& slice) {
  const RowPlan plan = *plan_for(*context_.current_chip);
  const uint32_t first = region.start - image.start;
  const uint32_t last = first + region.size;
  std::vector<uint8_t> old_bytes(image.now.begin() + first, image.now.begin() + last);
  if (!erase(region, plan.erase == Erase::whole_chip)) {
    put_back(region, std::move(old_bytes), image, slice);
    return false;
  }
  std::fill(image.now.begin() + first, image.now.begin() + last, ERASED);
  report_.erased_bytes += region.size;
  report_.erased.push_back({region.start, region.start + region.size});
  if (!program(image, first, last) || !verify_region(region, image)) {
    put_back(region, std::move(old_bytes), image, slice);
    return false;
  }
  for (uint32_t address = region.start; address < region.start + region.size; ++address) {
    if (!image_holds(slice, address) && image.want[address - image.start] != ERASED) {
      ++report_.restored_bytes;
    }
  }
  verified_.push_back(region);
  return true;
}

std::string WritePlanner::refused_verify_read() const {
  return english_ ? "the chip refused the read of the verify"
                  : "микросхема не дала прочитать себя для сравнения";
}

bool WritePlanner::verify_region(const Region& region, const ChipImage& image) {
  context_.bus.progress_prefix = text::VERIFYING;
  const auto chip = read_chip(context_, region.start, region.size);
  context_.bus.progress_prefix = nullptr;
  if (!chip) {
    fail_(refused_verify_read());
    return false;
  }
  const uint32_t first = region.start - image.start;
  for (uint32_t i = 0; i < region.size; ++i) {
    if ((*chip)[i] == image.want[first + i]) continue;
    char bytes[48];
    std::snprintf(bytes, sizeof bytes,
                  english_ ? " holds %02X, not %02X" : " содержит %02X, а не %02X", (*chip)[i],
                  image.want[first + i]);
    fail_((english_ ? "verify: " : "сравнение: ") + address_text(region.start + i) + bytes);
    return false;
  }
  return true;
}

// After a failure in an erased region: programs each unit of what the region
// must hold (its old bytes outside the slice) that the chip can still take
// (bits only go from 1 to 0), stops when the chip no longer answers, and notes
// the bytes outside the slice that are not as they were.
void WritePlanner::put_back(const Region& region, std::vector<uint8_t> old_bytes,
                            const ChipImage& image, const ImageSlice& slice) {
  const auto target = image.want.begin() + (region.start - image.start);
  const uint32_t unit = plan_for(*context_.current_chip)->unit;
  const WriteFailure fail = std::exchange(fail_, [](std::string_view) {});
  context_.bus.progress_prefix = text::READING;
  std::optional<std::vector<uint8_t>> chip = read_chip(context_, region.start, region.size);
  context_.bus.progress_prefix = text::WRITING;
  bool programmed = false;
  for (uint32_t first = 0; chip && first < region.size && !chip_not_ready_; first += unit) {
    bool differs = false;
    bool reachable = true;
    for (uint32_t i = first; i < first + unit && i < region.size; ++i) {
      differs = differs || (*chip)[i] != target[i];
      reachable = reachable && (target[i] & ~(*chip)[i]) == 0;
    }
    if (!differs || !reachable) continue;
    const uint32_t count = std::min(unit, region.size - first);
    program_range(&target[first], region.start + first, count);
    programmed = true;
  }
  if (programmed) {
    context_.bus.progress_prefix = text::VERIFYING;
    chip = read_chip(context_, region.start, region.size);
  }
  context_.bus.progress_prefix = nullptr;
  fail_ = fail;

  WriteRescue rescue{region.start, std::move(old_bytes), {}};
  for (uint32_t i = 0; i < region.size; ++i) {
    const uint32_t address = region.start + i;
    if (image_holds(slice, address) || (chip && (*chip)[i] == rescue.old_bytes[i])) continue;
    if (!rescue.not_restored.empty() && rescue.not_restored.back().end == address) {
      ++rescue.not_restored.back().end;
    } else {
      rescue.not_restored.push_back({address, address + 1});
    }
  }
  report_.rescue = std::move(rescue);
}

uint32_t WritePlanner::eeprom_size() const {
  const ChipDescriptor* eeprom = companion_row(*context_.current_chip, ChipDriver::attiny_eeprom);
  return eeprom != nullptr ? eeprom->size : EEPROM_BYTES;
}

bool WritePlanner::restore_eeprom(const std::vector<uint8_t>& eeprom) {
  // The chip erase cleared the EEPROM too: it gets back what it held.
  const uint32_t size = static_cast<uint32_t>(eeprom.size());
  for (uint32_t page = 0; page < size; page += EEPROM_PAGE_BYTES) {
    const bool blank = std::all_of(eeprom.begin() + page, eeprom.begin() + page + EEPROM_PAGE_BYTES,
                                   [](uint8_t value) { return value == ERASED; });
    if (!blank) attiny_eeprom_write(context_, eeprom.data() + page, page, EEPROM_PAGE_BYTES);
  }
  std::vector<uint8_t> kept(size);
  attiny_eeprom_read(context_, kept.data(), 0, size);
  if (kept != eeprom) {
    fail_(english_ ? "the chip erase cleared the EEPROM and it could not be put back"
                   : "стирание микросхемы очистило EEPROM, и вернуть его не удалось");
    return false;
  }
  return true;
}

bool WritePlanner::extend(ChipImage& image, uint32_t start, uint32_t end) {
  const uint32_t held_end = image.start + static_cast<uint32_t>(image.now.size());
  if (image.now.empty()) {
    image.start = start;
    auto bytes = read_chip(context_, start, end - start);
    if (!bytes) {
      fail_(english_ ? "the chip refused the read before the write"
                     : "микросхема не дала прочитать себя перед записью");
      return false;
    }
    image.now = *bytes;
    image.want = *bytes;
    return true;
  }
  if (start < image.start) {
    auto before = read_chip(context_, start, image.start - start);
    if (!before) return false;
    image.now.insert(image.now.begin(), before->begin(), before->end());
    image.want.insert(image.want.begin(), before->begin(), before->end());
    image.start = start;
  }
  if (end > held_end) {
    auto after = read_chip(context_, held_end, end - held_end);
    if (!after) return false;
    image.now.insert(image.now.end(), after->begin(), after->end());
    image.want.insert(image.want.end(), after->begin(), after->end());
  }
  return true;
}

std::vector<WritePlanner::Region> WritePlanner::erase_regions(const ChipImage& image) const {
  // Bytes where some bit must go from 0 to 1.
  std::vector<uint32_t> needing;
  for (uint32_t i = 0; i < image.now.size(); ++i) {
    if ((image.want[i] & ~image.now[i]) != 0) needing.push_back(image.start + i);
  }
  if (needing.empty()) return {};
  const RowPlan plan = *plan_for(*context_.current_chip);
  if (plan.erase == Erase::whole_chip) return {{0, context_.chip_size}};
  std::vector<Region> regions;
  for (const BlockRange& block : plan.blocks) {
    if (block.size == 0) continue;
    const bool covers = std::any_of(needing.begin(), needing.end(), [&block](uint32_t address) {
      return address >= block.address && address < block.address + block.size;
    });
    if (covers) regions.push_back({block.address, block.size});
  }
  return regions;
}

bool WritePlanner::erase(const Region& region, bool whole_chip) {
  const RowPlan plan = *plan_for(*context_.current_chip);
  context_.main_view.set_status_text(text::ERASING + hex_text(region.start) + u"h");
  quiet_(true);
  const bool erased =
      whole_chip ? plan.erase_chip(context_) : plan.erase_block(context_, region.start);
  quiet_(false);
  context_.main_view.set_status_text(u"");
  if (!erased) {
    std::string range = address_text(region.start);
    range += '-';
    range += address_text(region.start + region.size - 1);
    fail_(english_ ? "the erase of " + range + " failed" : "стирание " + range + " не удалось");
    context_.main_view.dialog().message_box(text::ERASE_ERROR, text::PROGRAMMER, mb::ICON_ERROR);
  }
  return erased;
}

bool WritePlanner::program(ChipImage& image, uint32_t first_index, uint32_t last_index) {
  const uint32_t unit = plan_for(*context_.current_chip)->unit;
  const auto differs = [&image, unit, last_index](uint32_t first) {
    for (uint32_t i = first; i < first + unit && i < last_index; ++i) {
      if (image.want[i] != image.now[i]) return true;
    }
    return false;
  };
  context_.bus.progress_prefix = text::WRITING;
  bool written = true;
  // Runs of units that differ, each one call of the row's write slot.
  for (uint32_t first = first_index; first < last_index && written;) {
    if (!differs(first)) {
      first += unit;
      continue;
    }
    uint32_t last = first + unit;
    while (last < last_index && differs(last)) last += unit;
    last = std::min(last, last_index);
    written = program_range(image.want.data() + first, image.start + first, last - first);
    for (uint32_t i = first; i < last; ++i) {
      if (image.want[i] != image.now[i]) ++report_.programmed_bytes;
    }
    if (written)
      std::copy(image.want.begin() + first, image.want.begin() + last, image.now.begin() + first);
    first = last;
  }
  context_.bus.progress_prefix = nullptr;
  return written;
}

bool WritePlanner::program_range(const uint8_t* bytes, uint32_t address, uint32_t count) {
  const DataHandler program_slot = context_.current_chip->slots.on_write;
  const uint32_t result = program_slot(context_, bytes, address, count);
  if (result == 0) return true;
  chip_not_ready_ = result == WRITE_CHIP_NOT_READY || result == WRITE_PAGE_LOAD_LATE;
  if (result == WRITE_PAGE_LOAD_LATE) {
    const std::string page = address_text(context_.page_loads.late_page);
    const std::string tries = std::to_string(PAGE_LOAD_TRIES);
    fail_(english_ ? "the page at " + page + " never loaded within the chip's byte-load limit in " +
                         tries + " tries"
                   : "страница по адресу " + page +
                         " так и не загрузилась в пределах времени загрузки байта микросхемы за " +
                         tries + " попыток");
    return false;
  }
  std::string range = address_text(address);
  range += '-';
  range += address_text(address + count - 1);
  if (result == WRITE_NO_ANSWER) {
    fail_(english_ ? "no chip answered programming " + range +
                         ": a page read back erased after its write"
                   : "при программировании " + range +
                         " не ответила ни одна микросхема: страница после записи читается стёртой");
    return false;
  }
  if (english_) {
    fail_((chip_not_ready_ ? "the chip never reported ready programming "
                           : "the chip reported an error programming ") +
          range);
  } else {
    fail_((chip_not_ready_ ? "микросхема так и не сообщила о готовности при программировании "
                           : "микросхема сообщила об ошибке при программировании ") +
          range);
  }
  return false;
}

bool WritePlanner::attiny_unlocked(uint8_t& fuse_high) {
  hvpp_enter(context_);
  hvpp_load_command(context_, CMD_READ_FUSE_LOCK);
  fuse_high = hvpp_read(context_, READ_FUSE_HIGH);
  const uint8_t lock = hvpp_read(context_, READ_LOCK);
  if ((lock & LOCK_BITS) == LOCK_BITS) return true;
  char text[3];
  std::snprintf(text, sizeof text, "%02X", lock);
  if (english_) {
    fail_(std::string("the ATtiny2313 is locked (lock byte ") + text +
          "): it takes no programming until a chip erase (programmer erase) clears the "
          "lock bits with the flash");
  } else {
    fail_(std::string("ATtiny2313 заблокирована (байт лок-битов ") + text +
          "): программирование невозможно, пока стирание микросхемы (programmer erase) не "
          "сбросит лок-биты вместе с FLASH");
  }
  return false;
}

bool WritePlanner::verify(const ImageSlice& slice, const ChipImage& image) {
  // The regions verified as they were written are not read again.
  std::optional<std::vector<uint8_t>> chip = image.want;
  const uint32_t end = image.start + static_cast<uint32_t>(image.now.size());
  std::vector<Region> done = verified_;
  std::sort(done.begin(), done.end(),
            [](const Region& a, const Region& b) { return a.start < b.start; });
  done.push_back({end, 0});
  context_.bus.progress_prefix = text::VERIFYING;
  uint32_t from = image.start;
  for (const Region& region : done) {
    const uint32_t to = std::max(from, std::min(region.start, end));
    if (to > from) {
      const auto part = read_chip(context_, from, to - from);
      if (!part) {
        chip.reset();
        break;
      }
      std::copy(part->begin(), part->end(), chip->begin() + (from - image.start));
    }
    from = std::max(from, region.start + region.size);
  }
  context_.bus.progress_prefix = nullptr;
  if (!chip) {
    fail_(refused_verify_read());
    return false;
  }
  if (const auto difference = first_difference(slice, *chip, image.start)) {
    report_.wrong_units_unchanged = wrong_units_unchanged(*chip, image);
    fail_((english_ ? "verify: " : "сравнение: ") + difference_text(*difference, english_));
    return false;
  }
  for (uint32_t i = 0; i < chip->size(); ++i) {
    if ((*chip)[i] != image.want[i]) {
      char bytes[96];
      std::snprintf(bytes, sizeof bytes,
                    english_ ? " outside the slice holds %02X, not the %02X it held before"
                             : " вне среза содержит %02X, а не прежнее %02X",
                    (*chip)[i], image.want[i]);
      fail_((english_ ? "verify: " : "сравнение: ") + address_text(image.start + i) + bytes);
      return false;
    }
  }
  return true;
}

bool WritePlanner::wrong_units_unchanged(const std::vector<uint8_t>& chip,
                                         const ChipImage& image) const {
  const uint32_t unit = plan_for(*context_.current_chip)->unit;
  // Erased regions may have widened the image at its front since the first read.
  const uint32_t offset = before_.start - image.start;
  const auto size = static_cast<uint32_t>(before_.now.size());
  bool wrong_unit = false;
  for (uint32_t first = 0; first < size; first += unit) {
    bool wrong = false;
    bool unchanged = true;
    for (uint32_t i = first; i < std::min(first + unit, size); ++i) {
      wrong = wrong || chip[offset + i] != image.want[offset + i];
      unchanged = unchanged && chip[offset + i] == before_.now[i];
    }
    if (wrong && !unchanged) return false;
    wrong_unit = wrong_unit || wrong;
  }
  return wrong_unit;
}

}  // namespace fp
