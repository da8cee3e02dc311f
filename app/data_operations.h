// The data operations of the window (read, write with its verify, compare)
// as functions of values: the slice of the chip and the bytes. The window
// reads its controls and the file and calls them; the command line calls them
// with its own slice. They report through the main view's status bar as the
// row's handlers do; what the outcome means to the operator is the caller's.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"

namespace fp {

// The chip's bytes [rom_offset, rom_offset + length) into buffer, through the
// row's read (or the block read); refused: the buffer holds nothing of the chip.
ReadResult read_slice(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                      uint32_t length);

enum class WriteOutcome {
  written,      // written and verified
  write_error,  // the write failed; nothing was verified
  // The write or its verify failed after the write went to the end or the
  // chip stopped answering ready: the verify shows how far it came.
  verify_error,
};

// Writes bytes [0, length) to the chip at rom_offset and verifies them. The
// row must have a write (slots.on_write).
WriteOutcome write_and_verify(ProgrammerContext& context, const uint8_t* bytes, uint32_t rom_offset,
                              uint32_t length);

// Whether the chip holds bytes [0, length) at rom_offset.
bool compare_slice(ProgrammerContext& context, const uint8_t* bytes, uint32_t rom_offset,
                   uint32_t length);

}  // namespace fp
