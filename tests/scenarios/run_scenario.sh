#!/usr/bin/env bash
# Plays one scenario script through programmer-script in a fresh folder and
# compares what it prints with NAME.expected. Optional companions:
#   NAME.setup  bash, run in the folder before (fixtures, images)
#   NAME.check  bash, run in the folder after (file contents, dumps)
#   NAME.exit   the expected exit status (default 0)
# Both companions see SCENARIO_DIR (the script's folder) and PROGRAMMER_SCRIPT.
set -uo pipefail
export PROGRAMMER_SCRIPT=$1
script=$(readlink -f "$2")
base=${script%.script}
export SCENARIO_DIR=$(dirname "$script")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -f "$base.setup" ]; then
  bash -e "$base.setup" || { echo "setup failed"; exit 1; }
fi
"$PROGRAMMER_SCRIPT" "$script" >actual.out 2>actual.err
status=$?
expected_status=0
[ -f "$base.exit" ] && expected_status=$(tr -d '[:space:]' <"$base.exit")
failed=0
if ! diff -u "$base.expected" actual.out; then failed=1; fi
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  cat actual.err
  failed=1
fi
if [ -f "$base.check" ] && ! bash -e "$base.check"; then
  echo "check failed"
  failed=1
fi
exit $failed
