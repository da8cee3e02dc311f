#!/usr/bin/env bash
# SIGINT and SIGTERM storms at random moments of whole-chip writes on one
# board file: a run that says it succeeded exits 0 and the chip holds its
# image; an interrupted run says nothing of success and leaves every sector
# holding either its old or its new bytes.
#   signalled_writes.sh PROGRAMMER [ROUNDS]
set -uo pipefail
program=$(readlink -f "$1")
# Its checks read the Russian texts.
export LC_ALL=ru_RU.UTF-8
rounds=${2:-30}
work=$(mktemp -d)
# Only the script's own shell cleans up: a child of it that a signal meant for
# the program reaches between its fork and its exec runs this trap too.
trap '[ "$BASHPID" = "$$" ] && rm -rf "$work"' EXIT
cd "$work" || exit 1
RANDOM=26
chip=AT49F002
size=262144
head -c $size /dev/urandom >a.bin
head -c $size /dev/urandom >b.bin
run() { "$program" "$@" --chip $chip --port sim:board.sim </dev/null; }
run write a.bin --yes >/dev/null 2>&1
cp a.bin old.bin
start=$(date +%s%N)
run write b.bin --yes >/dev/null 2>&1
cp b.bin old.bin
span_us=$((($(date +%s%N) - start) / 1000 + 1))
failed=0
said=0
interrupted=0
for round in $(seq "$rounds"); do
  image=$([ $((round % 2)) -eq 0 ] && echo b.bin || echo a.bin)
  # The child opens these only after its fork: a SIGTERM landing before that
  # must not leave the last round's success to be read as this one's.
  rm -f out.txt err.txt
  "$program" write $image --yes --chip $chip --port sim:board.sim </dev/null >out.txt 2>err.txt &
  pid=$!
  # One to three signals, the first anywhere in the run or just after it.
  for shot in $(seq $((RANDOM % 3 + 1))); do
    delay_us=$(((RANDOM * 32768 + RANDOM) % (span_us * 3 / 2) / shot))
    sleep "$(printf '0.%06d' "$delay_us")"
    kill -$([ $((RANDOM % 2)) -eq 0 ] && echo INT || echo TERM) $pid 2>/dev/null
  done
  wait $pid
  status=$?
  run read now.bin >/dev/null 2>&1
  if grep -qs 'Запись успешно завершена' out.txt; then
    said=$((said + 1))
    if [ $status -ne 0 ] || ! cmp -s now.bin $image; then
      echo "round $round: said it succeeded (exit $status) but the chip does not hold $image"
      cat err.txt
      failed=1
      break
    fi
  else
    [ $status -eq 130 ] || [ $status -eq 143 ] || {
      echo "round $round: exit $status without success"
      cat err.txt
      failed=1
      break
    }
    interrupted=$((interrupted + 1))
  fi
  # Sector by sector (the AT49F002's smallest is 8 KiB): old or new bytes.
  if ! python3 - now.bin old.bin $image <<'PY'; then
import sys
now, old, new = (open(name, "rb").read() for name in sys.argv[1:])
step = 0x2000
for at in range(0, len(now), step):
    part = now[at:at + step]
    if part != old[at:at + step] and part != new[at:at + step]:
        print(f"sector at {at:X}h holds neither the old nor the new bytes")
        sys.exit(1)
PY
    echo "round $round (exit $status):"
    cat err.txt
    failed=1
    break
  fi
  cp now.bin old.bin
done
echo "$rounds rounds: $said said they succeeded, $interrupted interrupted"
exit $failed
