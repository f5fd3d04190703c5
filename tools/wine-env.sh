# Sourced by the scripts that run Windows programs: Wine with the project's own
# prefix under build/, no debug chatter, no Mono/Gecko install prompts, and a
# virtual display when none is set.
KOVAN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$KOVAN_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64

kovan_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # One process makes the prefix; others wait for it.
    (
      flock 9
      if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
      fi
    ) 9>"$WINEPREFIX.lock"
  fi
}

kovan_display() {
  if [ -z "${DISPLAY:-}" ]; then
    local n=87 pid
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do
      pid="$(tr -dc 0-9 <"/tmp/.X$n-lock" 2>/dev/null || true)"
      if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        # Reuse a virtual display this project started earlier.
        if [ -f "$KOVAN_ROOT/build/xvfb.display" ] && [ "$(cat "$KOVAN_ROOT/build/xvfb.display")" = ":$n" ]; then
          export DISPLAY=":$n"
          return
        fi
      elif rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n" 2>/dev/null && [ ! -e "/tmp/.X$n-lock" ]; then
        # The server that held this number is gone (the machine restarted, say).
        break
      fi
      n=$((n + 1))
    done
    mkdir -p "$KOVAN_ROOT/build"
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    echo ":$n" >"$KOVAN_ROOT/build/xvfb.display"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
  fi
}
