// The dialog "Выбор блока для операции": erase the whole chip or the block
// at a typed hexadecimal address.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "chips/common/programmer_context.h"
#include "chips/jedec/erase_choice.h"
#include "ui/views.h"

namespace fp {

// The values the dialog ends with; a block ends it with its address, which
// is always below the chip size and so never one of these.
inline constexpr intptr_t BLOCK_CHOICE_CANCEL = -1;
inline constexpr intptr_t BLOCK_CHOICE_WHOLE_CHIP = -2;

// The longest block text taken, in characters.
inline constexpr size_t BLOCK_TEXT_MAX_LENGTH = 15;

// A typed block address: hexadecimal digits only, at most eight of them
// significant, below the chip size. An empty text is block 0.
std::optional<uint32_t> parse_block_address(std::string_view text, uint32_t chip_size);

class EraseBlockDialog final : public DialogLogic {
 public:
  explicit EraseBlockDialog(uint32_t chip_size) : chip_size_(chip_size) {}

  void on_init(DialogView& view) override;
  void on_command(DialogView& view, uint32_t command) override;
  void on_close(DialogView& view) override;

  // Cancel until the operator accepts; also when the dialog never ran.
  [[nodiscard]] const EraseChoice& choice() const { return choice_; }

 private:
  void accept(DialogView& view);

  uint32_t chip_size_;
  EraseChoice choice_;
};

EraseChoice choose_erase_block(ProgrammerContext& context);

}  // namespace fp
