#!/usr/bin/env bash
# What programmer-script is given instead of a script, and a trace it cannot
# write: each ends with one line on standard error and exit status 2, never
# with "exit 0".
#   script_inputs.sh PROGRAMMER_SCRIPT
set -uo pipefail
program=$(readlink -f "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
# expect_refusal TEXT ARGS...: exit 2, TEXT in the one line on standard error.
expect_refusal() {
  local text=$1
  shift
  local status=0
  timeout 20 "$program" "$@" >out.txt 2>err.txt </dev/null || status=$?
  if [ $status -ne 2 ] || [ "$(wc -l <err.txt)" -ne 1 ] || ! grep -qF -- "$text" err.txt ||
    grep -q '^exit 0$' out.txt; then
    echo "programmer-script $*: exit $status, expected 2 and \"$text\""
    cat out.txt err.txt
    failed=1
  fi
}
mkdir folder
expect_refusal "folder is not a script file" folder
expect_refusal "/dev/null is not a script file" /dev/null
expect_refusal "/dev/zero is not a script file" /dev/zero
status=0
timeout 20 "$program" - </dev/zero >out.txt 2>err.txt || status=$?
if [ $status -ne 2 ] || ! grep -q "the script is longer than" err.txt; then
  echo "an endless standard input: exit $status"
  failed=1
fi
printf 'insert AT29C010A\nselect "AT29C010A"\nclick 1009\n' >blank.script
expect_refusal "cannot write the trace file: No space left on device" --trace /dev/full blank.script
printf 'insert ATTINY2313\nfill main /dev/zero\n' >fill.script
expect_refusal "holds more than bytes, the memory 2048" fill.script
# The same script plays, and its trace is whole.
"$program" --trace trace.txt blank.script >out.txt 2>err.txt || failed=1
tail -1 out.txt | grep -qx 'exit 0' || failed=1
[ "$(wc -l <trace.txt)" -gt 10 ] || { echo "trace too short"; failed=1; }
exit $failed
