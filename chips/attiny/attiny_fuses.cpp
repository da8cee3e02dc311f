#include "chips/attiny/attiny_fuses.h"

#include "chips/attiny/attiny_bus.h"
#include "chips/attiny/attiny_commands.h"

namespace fp {
namespace {

// Under CMD_READ_SIGNATURE the address picks the signature byte; BS1 gives
// the calibration byte.
constexpr uint8_t READ_SIGNATURE = HV_SELECT_NONE;
constexpr uint8_t READ_CALIBRATION = HV_SELECT_BS1;

// Under CMD_READ_FUSE_LOCK the select alone picks the byte. The fuse high
// byte is read with BS2 and BS1 but written with BS1 alone.
constexpr uint8_t READ_FUSE_LOW = HV_SELECT_NONE;
constexpr uint8_t READ_FUSE_HIGH = HV_SELECT_BS2_BS1;
constexpr uint8_t READ_FUSE_EXTENDED = HV_SELECT_BS2;
constexpr uint8_t READ_LOCK = HV_SELECT_BS1;

constexpr uint8_t WRITE_FUSE_LOW = HV_SELECT_NONE;
constexpr uint8_t WRITE_FUSE_HIGH = HV_SELECT_BS1;
constexpr uint8_t WRITE_FUSE_EXTENDED = HV_SELECT_BS2;
constexpr uint8_t WRITE_LOCK = HV_SELECT_NONE;

}  // namespace

AttinyBytes attiny_read_bytes(ProgrammerContext& context) {
  AttinyBytes bytes;
  hvpp_load_command(context, CMD_READ_SIGNATURE);
  for (uint8_t address = 0; address < bytes.signature.size(); ++address) {
    bytes.signature[address] = hvpp_read_at(context, address, READ_SIGNATURE);
  }
  bytes.calibration = hvpp_read_at(context, 0, READ_CALIBRATION);

  hvpp_load_command(context, CMD_READ_FUSE_LOCK);
  bytes.fuses.low = hvpp_read(context, READ_FUSE_LOW);
  bytes.fuses.high = hvpp_read(context, READ_FUSE_HIGH);
  bytes.fuses.extended = hvpp_read(context, READ_FUSE_EXTENDED);
  bytes.lock = hvpp_read(context, READ_LOCK);
  return bytes;
}

void attiny_program_fuses(ProgrammerContext& context, const FuseBytes& fuses) {
  hvpp_load_command(context, CMD_WRITE_FUSE);
  hvpp_program_byte(context, fuses.low, WRITE_FUSE_LOW);
  hvpp_program_byte(context, fuses.high, WRITE_FUSE_HIGH);
  hvpp_program_byte(context, fuses.extended, WRITE_FUSE_EXTENDED);
}

void attiny_program_lock(ProgrammerContext& context, uint8_t lock) {
  hvpp_load_command(context, CMD_WRITE_LOCK);
  hvpp_program_byte(context, lock, WRITE_LOCK);
}

AttinyBytes attiny_read_fuses(ProgrammerContext& context) {
  hvpp_enter(context);
  return attiny_read_bytes(context);
}

AttinyWrite attiny_write_fuses(ProgrammerContext& context, const FuseChange& change) {
  AttinyWrite write;
  write.before = attiny_read_fuses(context);
  attiny_program_fuses(context, change.applied_to(write.before.fuses));
  write.after = attiny_read_bytes(context);
  return write;
}

AttinyWrite attiny_write_lock(ProgrammerContext& context, uint8_t lock) {
  AttinyWrite write;
  write.before = attiny_read_fuses(context);
  attiny_program_lock(context, lock);
  write.after = attiny_read_bytes(context);
  return write;
}

}  // namespace fp
