#!/usr/bin/env bash
# The bash completion, sourced in bash as the package installs it, completes
# subcommands, a subcommand's options, chip names and aliases, and file names.
#   completion.sh PROGRAMMER COMPLETION_SCRIPT
set -uo pipefail
program=$(readlink -f "$1")
source "$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch image.bin image.hex other.txt
failed=0
# complete WANTED WORD... : the completions of the last word, sorted, one line.
complete_is() {
  local wanted=$1
  shift
  COMP_WORDS=("$program" "$@")
  COMP_CWORD=$(($#))
  COMPREPLY=()
  _programmer
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
  if [ "$got" = "$wanted" ]; then
    echo "ok: programmer $* -> $got"
  else
    echo "WRONG: programmer $* -> '$got', not '$wanted'"
    failed=1
  fi
}
complete_is "write" wr
complete_is "sdp sim sum" s
complete_is "--help --version" --
complete_is "--backup" write image.bin --b
complete_is "--chip --chip-offset --count" write image.bin --re --c
complete_is "--count" write image.bin --co
complete_is "--json" list --j
complete_is "AT29C010A AT29C020 AT29C040 AT29C040A AT29C512" write image.bin --chip AT29C
complete_is "ATtiny2313A ATtiny2313A\\ -\\ EEPROM ATtiny2313A\\ -\\ FLASH" id --chip ATtiny2313A
complete_is "ATTINY2313\\ -\\ EEPROM ATTINY2313\\ -\\ FLASH ATTINY4313\\ -\\ EEPROM ATTINY4313\\ -\\ FLASH" id --chip ATTINY
complete_is "AT89C2051/2052 AT89C2052" id --chip AT89C205
complete_is "image.bin image.hex" write ima
touch "with blank.bin"
complete_is "with blank.bin" write wi
complete_is "image.bin" verify image.hex --chip W29EE512 --backup image.b
complete_is "off on" sdp ""
complete_is "insert remove" sim ""
complete_is "en ru" --lang ""
complete_is "raw" read x --format r
# The subcommand after an option and its value.
complete_is "--chip --help --json --lang --log --port --quiet --trace --verbose --yes" id --port sim --
exit $failed
