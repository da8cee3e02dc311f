// One row of the chip catalogue: a name, a size, the handlers of the main
// window's operations and the chip's facts. An empty slot (nullptr) means the chip has no such
// operation, except read and verify, which fall back to the block operations.
#pragma once

#include <cstdint>

#include "chips/common/chip_facts.h"

namespace fp {

struct ChipDescriptor;
struct ProgrammerContext;

// A read that refused its block leaves the buffer as it was, so the main
// window must not save it.
enum class ReadResult { done, refused };

using SelectHandler = void (*)(ProgrammerContext& context, const ChipDescriptor& row);
using OperationHandler = void (*)(ProgrammerContext& context);
using ReadHandler = ReadResult (*)(ProgrammerContext& context, uint8_t* buffer, uint32_t rom_offset,
                                   uint32_t length);
// 0 = success, any other value = failure.
using DataHandler = uint32_t (*)(ProgrammerContext& context, const uint8_t* buffer,
                                 uint32_t rom_offset, uint32_t length);

// A write that stopped because the chip never reported ready: the block is
// partly written, and a verify shows where.
inline constexpr uint32_t WRITE_CHIP_NOT_READY = 2;
// A write that stopped at a page whose load never came in time on any of its
// tries (ProgrammerContext::page_loads.late_page); no page after it was sent.
inline constexpr uint32_t WRITE_PAGE_LOAD_LATE = 3;
// A write that stopped at a page that read back erased right after it was
// written with other bytes: no chip answered. No page after it was sent.
inline constexpr uint32_t WRITE_NO_ANSWER = 4;

struct ChipSlots {
  SelectHandler on_select = nullptr;
  OperationHandler on_identify = nullptr;
  ReadHandler on_read = nullptr;  // empty: bus_read_block
  OperationHandler on_blank_check = nullptr;
  DataHandler on_write = nullptr;
  OperationHandler on_erase = nullptr;
  DataHandler on_verify = nullptr;  // empty: bus_verify_block
};

struct ChipDescriptor {
  const char16_t* name;  // null in the row that ends the table
  uint32_t size;
  ChipSlots slots;
  uint32_t param;  // family parameter
  ChipFacts facts;
};

}  // namespace fp
