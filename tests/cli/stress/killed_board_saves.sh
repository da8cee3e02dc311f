#!/usr/bin/env bash
# SIGKILL at random moments of runs that write a whole chip and save the
# board file: after every kill the board file still loads, holding either the
# old or the new image of the chip.
#   killed_board_saves.sh PROGRAMMER [KILLS]
set -uo pipefail
program=$(readlink -f "$1")
kills=${2:-50}
work=$(mktemp -d)
# Only the script's own shell cleans up: a child of it that a signal meant for
# the program reaches between its fork and its exec runs this trap too.
trap '[ "$BASHPID" = "$$" ] && rm -rf "$work"' EXIT
cd "$work" || exit 1
RANDOM=12
size=131072
head -c $size /dev/urandom >a.bin
head -c $size /dev/urandom >b.bin
"$program" write a.bin --chip AT29C010A --port sim:board.sim --yes >/dev/null 2>&1 </dev/null
# How long a run takes here, so that the kills fall all over it.
start=$(date +%s%N)
"$program" write b.bin --chip AT29C010A --port sim:board.sim --yes >/dev/null 2>&1 </dev/null
span_us=$((($(date +%s%N) - start) / 1000 + 1))
failed=0
for kill in $(seq "$kills"); do
  image=$([ $((kill % 2)) -eq 0 ] && echo a.bin || echo b.bin)
  "$program" write $image --chip AT29C010A --port sim:board.sim --yes >/dev/null 2>&1 </dev/null &
  pid=$!
  delay_us=$(((RANDOM * 32768 + RANDOM) % span_us))
  sleep "$(printf '0.%06d' "$delay_us")"
  kill -KILL $pid 2>/dev/null
  wait $pid 2>/dev/null
  if "$program" verify a.bin --chip AT29C010A --port sim:board.sim >verify.txt 2>&1 </dev/null ||
    "$program" verify b.bin --chip AT29C010A --port sim:board.sim >verify.txt 2>&1 </dev/null; then
    continue
  fi
  echo "kill $kill after ${delay_us} us: the board holds neither image:"
  cat verify.txt
  failed=1
  break
done
# A kill can leave a fresh file of its own name that never replaced anything;
# never the board file half written.
ls -A | grep -v -e '^[ab].bin$' -e '^verify.txt$' -e '^board.sim$' -e '^\.programmer-' && failed=1
exit $failed
