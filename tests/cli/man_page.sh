#!/usr/bin/env bash
# The man page names every subcommand and every option that any subcommand's
# --help lists. Prints what it lacks and fails.
#   man_page.sh PROGRAMMER MAN_PAGE
set -uo pipefail
program=$1
page=$2
commands=$("$program" --help | awk '/^Subcommands:/ { on = 1; next } on && /^ +[a-z]/ { print $1 }')
[ -n "$commands" ] || { echo "no subcommands in programmer --help"; exit 1; }
missing=0
for command in $commands; do
  grep -q -E "(^|[^a-z])$command([^a-z]|$)" "$page" || { echo "the man page lacks the command $command"; missing=1; }
  for option in $("$program" "$command" --help | grep -o -E -- '(^| )--?[a-z][a-z-]*' | tr -d ' ' | sort -u); do
    escaped=${option//-/\\\\-}
    grep -q -E -- "${escaped}([^a-z\\\\]|\\\\f|\$)" "$page" || { echo "the man page lacks $option (from $command --help)"; missing=1; }
  done
done
for option in --version --help; do
  grep -q -F -- "${option//-/\\-}" "$page" || { echo "the man page lacks $option"; missing=1; }
done
[ $missing -eq 0 ] && echo "the man page covers $(echo $commands | wc -w) commands and their options"
exit $missing
