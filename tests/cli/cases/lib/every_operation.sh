# every_operation ROW SIZE [ERASE AND BLANK-CHECK OPTIONS...]
# Runs every operation of one catalogue row on a simulated chip kept in
# board.sim: id, write and verify from raw, blank, read into HEX and
# S-record, erase, then the HEX written back must reproduce the chip.
every_operation() {
  local chip=(--chip "$1" --port sim:board.sim)
  local size=$2
  shift 2
  counting "$size" >image.bin
  programmer id "${chip[@]}"
  programmer write image.bin "${chip[@]}" --yes
  programmer verify image.bin "${chip[@]}"
  programmer blank "${chip[@]}" "$@"
  programmer read chip.hex "${chip[@]}"
  programmer read chip.s28 "${chip[@]}"
  programmer erase "${chip[@]}" --yes "$@"
  programmer blank "${chip[@]}" "$@"
  programmer verify chip.hex "${chip[@]}"
  programmer write chip.hex "${chip[@]}" --yes
  programmer read back.bin "${chip[@]}" --format raw
  same image.bin back.bin
  programmer verify chip.s28 "${chip[@]}"
  programmer erase "${chip[@]}" --yes "$@"
  programmer write chip.s28 "${chip[@]}" --yes
  programmer verify image.bin "${chip[@]}"
  rm -f image.bin chip.hex chip.s28 back.bin
}
