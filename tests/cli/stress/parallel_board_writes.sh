#!/usr/bin/env bash
# Four runs at once write four different chips of one board file, round after
# round: every run that reports success finds its image on the board after
# the round, and the board file always loads. SMALL takes smaller chips, for
# builds where every run is many times slower.
#   parallel_board_writes.sh PROGRAMMER [ROUNDS] [small]
set -uo pipefail
program=$(readlink -f "$1")
rounds=${2:-5}
work=$(mktemp -d)
# Only the script's own shell cleans up: a child of it that a signal meant for
# the program reaches between its fork and its exec runs this trap too.
trap '[ "$BASHPID" = "$$" ] && rm -rf "$work"' EXIT
cd "$work" || exit 1
chips=(AT29C010A AT29C040A W29EE512 AT49F512)
sizes=(131072 524288 65536 65536)
if [ "${3:-}" = small ]; then
  chips=(AT89C2051 AT89C4051 W29EE512 AT49F512)
  sizes=(2048 4096 65536 65536)
fi
failed=0
for round in $(seq "$rounds"); do
  pids=()
  for i in "${!chips[@]}"; do
    head -c "${sizes[$i]}" /dev/urandom >"image$i.bin"
    "$program" write "image$i.bin" --chip "${chips[$i]}" --port sim:board.sim --yes \
      >"out$i.txt" 2>"err$i.txt" </dev/null &
    pids+=($!)
  done
  for i in "${!chips[@]}"; do
    wait "${pids[$i]}"
    status[$i]=$?
  done
  for i in "${!chips[@]}"; do
    if [ "${status[$i]}" -ne 0 ]; then
      echo "round $round: ${chips[$i]} failed: $(cat "err$i.txt")"
      failed=1
      continue
    fi
    if ! "$program" verify "image$i.bin" --chip "${chips[$i]}" --port sim:board.sim \
      >verify.txt 2>&1 </dev/null; then
      echo "round $round: ${chips[$i]} reported written, but the board holds something else:"
      cat verify.txt
      failed=1
    fi
  done
  leftovers=$(ls -A | grep -v -e '^image' -e '^out' -e '^err' -e '^verify' -e '^board.sim$')
  if [ -n "$leftovers" ]; then
    echo "round $round: left behind: $leftovers"
    failed=1
  fi
done
exit $failed
