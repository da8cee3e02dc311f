#!/usr/bin/env bash
# Ctrl-C, SIGTERM and SIGHUP at random moments of reads into a record file
# and writes from one: nothing is ever left beside the file or in the
# temporary folder, and the record file is always whole.
#   signalled_record_files.sh PROGRAMMER [SIGNALS]
set -uo pipefail
program=$(readlink -f "$1")
count=${2:-20}
work=$(mktemp -d)
# Only the script's own shell cleans up: a child of it that a signal meant for
# the program reaches between its fork and its exec runs this trap too.
trap '[ "$BASHPID" = "$$" ] && rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir tmp
export TMPDIR=$work/tmp
RANDOM=7
chip=(--chip AT29C010A --port sim:board.sim)
head -c 131072 /dev/urandom >image.bin
"$program" write image.bin "${chip[@]}" --yes >/dev/null 2>&1 </dev/null
"$program" read image.hex "${chip[@]}" >/dev/null 2>&1 </dev/null
start=$(date +%s%N)
"$program" read out.s28 "${chip[@]}" >/dev/null 2>&1 </dev/null
span_us=$((($(date +%s%N) - start) / 1000 + 1))
signals=(INT TERM HUP)
failed=0
for n in $(seq "$count"); do
  signal=${signals[$((n % 3))]}
  if [ $((n % 2)) -eq 0 ]; then
    "$program" read out.s28 "${chip[@]}" >/dev/null 2>&1 </dev/null &
  else
    "$program" verify image.hex "${chip[@]}" >/dev/null 2>&1 </dev/null &
  fi
  pid=$!
  sleep "$(printf '0.%06d' $(((RANDOM * 32768 + RANDOM) % span_us)))"
  kill -s "$signal" $pid 2>/dev/null
  wait $pid 2>/dev/null
  left=$(ls -A | grep -v -x -e image.bin -e image.hex -e out.s28 -e board.sim -e tmp -e verify.txt)
  if [ -n "$left" ] || [ -n "$(ls -A tmp)" ]; then
    echo "SIG$signal $n left behind: $left $(ls -A tmp)"
    failed=1
  fi
  if ! "$program" verify out.s28 "${chip[@]}" >verify.txt 2>&1 </dev/null; then
    echo "SIG$signal $n: out.s28 is not whole:"
    cat verify.txt
    failed=1
  fi
done
exit $failed
