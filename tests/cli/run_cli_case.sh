#!/usr/bin/env bash
# Runs one command-line case (NAME.case, bash) in a fresh folder and compares
# what it prints with NAME.expected. Inside a case:
#   programmer ARGS...   runs the program and prints "$ programmer ARGS",
#                        its standard output, its standard error with "! "
#                        before each line, and "exit N"
#   bytes N VALUE        N bytes of VALUE (hex) on standard output
#   counting N           N bytes 00 01 02 ... FF 00 01 ... on standard output
#   same A B             prints "same A B" when the files are equal, else where they differ
#   CASE_DIR             the case's folder (cases/lib holds shared helpers)
set -uo pipefail
program=$(readlink -f "$1")
case_file=$(readlink -f "$2")
expected=${case_file%.case}.expected
work=$(mktemp -d)
# Only the script's own shell cleans up: a child of it that a signal meant for
# the program reaches between its fork and its exec runs this trap too.
trap '[ "$BASHPID" = "$$" ] && rm -rf "$work"' EXIT
cd "$work" || exit 1

programmer() {
  echo "\$ programmer $*"
  local status=0
  "$program" "$@" >out.txt 2>err.txt </dev/null || status=$?
  cat out.txt
  sed 's/^/! /' err.txt
  echo "exit $status"
}
bytes() { head -c "$1" /dev/zero | tr '\0' "\\$(printf '%03o' "0x$2")"; }
counting() { python3 -c "import sys; sys.stdout.buffer.write(bytes(i & 0xFF for i in range($1)))"; }
same() {
  if cmp -s "$1" "$2"; then echo "same $1 $2"; else echo "DIFFERENT $1 $2: $(cmp "$1" "$2" 2>&1 | head -1)"; fi
}
export -f programmer bytes counting same
# The cases read in Russian, whatever the machine's locale; a case that wants
# another language says so (--lang, or LC_ALL, or LANG with LC_MESSAGES
# emptied, on its own run); numbers and sorting follow the C locale.
unset LC_ALL LC_MESSAGES LANG LANGUAGE
export LC_MESSAGES=ru_RU.UTF-8
export program
export CASE_DIR=$(dirname "$case_file")

bash -e "$case_file" >actual.txt 2>&1
status=$?
if [ $status -ne 0 ]; then
  cat actual.txt
  echo "the case itself failed (exit $status)"
  exit 1
fi
diff -u "$expected" actual.txt
