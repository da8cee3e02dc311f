#include "app/data_operations.h"

#include "app/catalogue.h"
#include "ui/texts.h"

namespace fp {
namespace {

// The status bar's progress carries the prefix for the length of one step.
class ProgressPrefix {
 public:
  ProgressPrefix(ProgrammerContext& context, const char16_t* prefix) : bus_(context.bus) {
    bus_.progress_prefix = prefix;
  }
  ~ProgressPrefix() { bus_.progress_prefix = nullptr; }
  ProgressPrefix(const ProgressPrefix&) = delete;
  ProgressPrefix& operator=(const ProgressPrefix&) = delete;

 private:
  ProgrammerBus& bus_;
};

uint32_t verify(ProgrammerContext& context, const uint8_t* bytes, uint32_t rom_offset,
                uint32_t length) {
  const ProgressPrefix prefix(context, text::VERIFYING);
  return verify_handler(*context.current_chip)(context, bytes, rom_offset, length);
}

}  // namespace

ReadResult read_slice(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                      uint32_t length) {
  const ProgressPrefix prefix(context, text::READING);
  return read_handler(*context.current_chip)(context, buffer, rom_offset, length);
}

WriteOutcome write_and_verify(ProgrammerContext& context, const uint8_t* bytes, uint32_t rom_offset,
                              uint32_t length) {
  uint32_t result = 0;
  {
    const ProgressPrefix prefix(context, text::WRITING);
    result = context.current_chip->slots.on_write(context, bytes, rom_offset, length);
  }
  // A write the chip left unfinished is still verified: the verify shows how
  // far it came, and the write fails whatever the verify finds.
  const bool unfinished = result == WRITE_CHIP_NOT_READY;
  if (result != 0 && !unfinished) return WriteOutcome::write_error;
  if (verify(context, bytes, rom_offset, length) != 0 || unfinished) {
    return WriteOutcome::verify_error;
  }
  return WriteOutcome::written;
}

bool compare_slice(ProgrammerContext& context, const uint8_t* bytes, uint32_t rom_offset,
                   uint32_t length) {
  return verify(context, bytes, rom_offset, length) == 0;
}

}  // namespace fp
