#!/usr/bin/env bash
# The layers above platform/ reach the operating system through platform/
# only: no source in bus/, chips/, app/, ui/ or frontends/ (but frontends/win32) includes a POSIX
# or Windows header. Prints each one that does and fails.
set -uo pipefail
root=$1
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(unistd|fcntl|grp|pwd|signal|termios|poll|dirent|pthread|dlfcn|spawn|syslog|windows|winbase|winuser|commctrl|commdlg|shellapi|io|direct|process)\.h>|^[[:space:]]*#[[:space:]]*include[[:space:]]*<(sys|linux|arpa|netinet)/'
found=$(cd "$root" && grep -rnE "$pattern" bus chips app ui frontends --include='*.cpp' --include='*.h' |
  grep -v '^frontends/win32/')
if [[ -n "$found" ]]; then
  echo "system headers above platform/:"
  echo "$found"
  exit 1
fi
echo "no system headers above platform/"
