#!/usr/bin/env bash
# SIGTERM to runs that write a whole AT29C040A and save its board file: half
# the signals at random moments of the run, half the moment the new board
# file appears beside the old one. After each, nothing but the board file is
# left beside it, and the board still loads.
#   terminated_board_saves.sh PROGRAMMER [ROUNDS]
set -uo pipefail
program=$(readlink -f "$1")
rounds=${2:-20}
work=$(mktemp -d)
# Only the script's own shell cleans up: a child of it that a signal meant for
# the program reaches between its fork and its exec runs this trap too.
trap '[ "$BASHPID" = "$$" ] && rm -rf "$work"' EXIT
cd "$work" || exit 1
RANDOM=31
size=524288
head -c $size /dev/urandom >a.bin
head -c $size /dev/urandom >b.bin
chip=(--chip AT29C040A --port sim:board.sim --yes)
"$program" write a.bin "${chip[@]}" >/dev/null 2>&1 </dev/null
start=$(date +%s%N)
"$program" write b.bin "${chip[@]}" >/dev/null 2>&1 </dev/null
span_us=$((($(date +%s%N) - start) / 1000 + 1))
# Runs PROGRAMMER ARGS and sends it SIGTERM as soon as a fresh file of the
# save shows in the folder; prints "hit" when it did, "missed" when the run ended first.
terminate_at_save() {
  python3 - "$program" "$@" <<'PY'
import os, signal, subprocess, sys
run = subprocess.Popen(sys.argv[1:], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
hit = False
while run.poll() is None:
    if any(name.startswith('.programmer-') for name in os.listdir('.')):
        run.send_signal(signal.SIGTERM)
        hit = True
        break
run.wait()
print('hit' if hit else 'missed')
PY
}
failed=0
hits=0
for round in $(seq "$rounds"); do
  image=$([ $((round % 2)) -eq 0 ] && echo a.bin || echo b.bin)
  if [ $((round % 4)) -lt 2 ]; then
    [ "$(terminate_at_save write $image "${chip[@]}")" = hit ] && hits=$((hits + 1))
    when="at the save"
  else
    "$program" write $image "${chip[@]}" >/dev/null 2>&1 </dev/null &
    pid=$!
    delay_us=$(((RANDOM * 32768 + RANDOM) % span_us))
    sleep "$(printf '0.%06d' "$delay_us")"
    kill -TERM $pid 2>/dev/null
    wait $pid 2>/dev/null
    when="after ${delay_us} us"
  fi
  left=$(ls -A | grep -v -x -e a.bin -e b.bin -e board.sim)
  if [ -n "$left" ]; then
    echo "round $round, SIGTERM $when: left beside the board file: $left"
    failed=1
    break
  fi
  if ! "$program" read now.bin --chip AT29C040A --port sim:board.sim --length 100 >read.txt 2>&1 </dev/null; then
    echo "round $round, SIGTERM $when: the board no longer loads:"
    cat read.txt
    failed=1
    break
  fi
  rm -f now.bin read.txt
done
echo "$hits of $(((rounds + 1) / 2)) signals reached a save under way"
# The signals meant for the save must have met one, or the rounds proved nothing.
[ "$failed" -eq 0 ] && [ "$hits" -eq 0 ] && failed=1
exit $failed
