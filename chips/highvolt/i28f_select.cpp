#include "chips/highvolt/block_map.h"
#include "chips/highvolt/highvolt_handlers.h"
#include "ui/texts.h"

namespace fp {
namespace {

// Where the three labels of each map start in text::BLOCK_LABELS.
constexpr size_t BOTTOM_BOOT_LABELS = 0;
constexpr size_t TOP_BOOT_LABELS = 3;

}  // namespace

void i28f_select(ProgrammerContext& context, const ChipDescriptor& row) {
  HighVoltState& state = context.highvolt;
  state.block_dialog_chip_name = row.name;
  if (row.param == BLOCK_MAP_TOP_BOOT) {
    state.block_table = TOP_BOOT_BLOCKS;
    state.block_labels = &text::BLOCK_LABELS[TOP_BOOT_LABELS];
  } else if (row.param == BLOCK_MAP_BOTTOM_BOOT) {
    state.block_table = BOTTOM_BOOT_BLOCKS;
    state.block_labels = &text::BLOCK_LABELS[BOTTOM_BOOT_LABELS];
  }
}

}  // namespace fp
