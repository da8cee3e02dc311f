# Wine for the Windows program, sourced by scripts/run, scripts/test-win32 and
# scripts/screenshots. A fresh prefix in the build folder for each run, the
# Russian locale (the dialog font shows Cyrillic only under it), a virtual
# display where there is none. Every wine call is bounded by timeout.

# wine_setup PREFIX [keep]: makes the prefix (anew, unless keep and it is
# there already) and exports the environment.
wine_setup() {
  local prefix=$1 keep=${2:-}
  if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
  fi
  export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # One server for all the runs that follow: each start costs a second.
  if [ "$keep" = keep ] && [ -f "$prefix/.ready" ]; then
    timeout 10 wineserver -p 3600 || true
    return
  fi
  rm -rf "$prefix"
  mkdir -p "$prefix"
  timeout 10 wineserver -p 3600 || true
  timeout 120 wineboot -i >/dev/null 2>&1 || true
  # Without a window manager Wine waits on every window that closes.
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1
  # Debian's Wine does not find its own fonts (MS Sans Serif among them).
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
  touch "$prefix/.ready"
}

# wine_display: starts Xvfb on a free display unless one is given; sets
# WINE_XVFB_PID when it started one.
wine_display() {
  WINE_XVFB_PID=
  if [ -n "${DISPLAY:-}" ] && [ "${WINE_FORCE_XVFB:-0}" != 1 ]; then return; fi
  wine_xvfb || return 1
  WINE_XVFB_PID=$XVFB_PID
  export DISPLAY=$XVFB_DISPLAY
}

# wine_xvfb: starts one more Xvfb on a display it picks itself (so several at
# once, of this run or another, never take the same one); sets XVFB_PID and
# XVFB_DISPLAY once it takes connections.
wine_xvfb() {
  local ready
  ready=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    if [ -s "$ready" ]; then
      XVFB_DISPLAY=:$(tr -d '[:space:]' <"$ready")
      rm -f "$ready"
      return
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$ready"
  echo "Xvfb did not start" >&2
  return 1
}

# wine_clone_prefix FROM TO: a prefix that starts as FROM is, made in a
# moment: Windows' files are hard links (Wine only reads them; what a program
# writes there is a new file), the registry files are copies (the server
# replaces them when it saves anyway). FROM's server must have ended.
wine_clone_prefix() {
  local from=$1 to=$2
  rm -rf "$to"
  mkdir -p "$to"
  cp -a "$from"/*.reg "$from/.update-timestamp" "$from/dosdevices" "$to/" &&
    cp -al "$from/drive_c" "$to/drive_c" && touch "$to/.ready"
}

# wine_cleanup: ends the Wine server of the prefix and the display we started.
wine_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k >/dev/null 2>&1
  if [ -n "${WINE_XVFB_PID:-}" ]; then
    kill "$WINE_XVFB_PID" 2>/dev/null
    wait "$WINE_XVFB_PID" 2>/dev/null
  fi
  return 0
}
