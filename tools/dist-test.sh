#!/usr/bin/env bash
# Tries the release packages in dist/ under Wine, in a fresh prefix of their
# own (build/wineprefix-dist): the portable zip, a silent install, the
# installed program started from a folder it may not write, a start of setup
# and uninstaller while Kovan runs, and both kinds of uninstall. The checks
# are build/win64/bin/kovan_dist_tests.exe, run one suite at a time; between
# suites this script changes the install folder's permissions.
#
# Needs `make dist` (the packages) and the win64 preset (the checks) built
# from the same commit. The prefix is removed after a passing run and kept
# for a look after a failing one.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

export WINEPREFIX="$root/build/wineprefix-dist"
# No menu entries or file associations on the host for the installed shortcuts.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
source tools/wine-env.sh
kovan_display

tests="build/win64/bin/kovan_dist_tests.exe"
version="$(cat build/win64/generated/kovan_version.txt 2>/dev/null || true)"
setup="dist/Kovan-$version-setup.exe"
zip="dist/Kovan-$version-portable.zip"
for f in "$tests" "$setup" "$zip"; do
  [ -f "$f" ] || { echo "dist-test: $f is missing (make dist, and build the win64 preset)" >&2; exit 1; }
done

# Root writes into read-only folders. Unless the whole Wine session (the
# wineserver opens the files) runs without the capabilities that allow it,
# a read-only install folder proves nothing.
priv=()
if [ "$(id -u)" -eq 0 ]; then
  drop=(setpriv --bounding-set=-dac_override,-fowner,-linux_immutable --)
  if "${drop[@]}" true 2>/dev/null; then priv=("${drop[@]}"); fi
fi
# Windows sees the Unix root as drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

installed="$WINEPREFIX/drive_c/Program Files/ORSEL RIRUDIR/Kovan"
work="$root/build/dist-test"
restore() { [ -d "$installed" ] && chmod u+w "$installed" || true; }
trap restore EXIT

if [ -d "$WINEPREFIX" ]; then
  "${priv[@]}" wineserver -k 2>/dev/null || true
  restore
  rm -rf "$WINEPREFIX"
fi
rm -rf "$work"
mkdir -p "$WINEPREFIX" "$work"
"${priv[@]}" wineboot -i >/dev/null 2>&1 || true
"${priv[@]}" wineserver -w

python3 -m zipfile -e "$zip" "$work/portable"

export KOVAN_DIST_DIR KOVAN_PORTABLE_DIR KOVAN_INSTALL_READ_ONLY=0
KOVAN_DIST_DIR="$(winpath "$root/dist")"
KOVAN_PORTABLE_DIR="$(winpath "$work/portable")"

suite() {
  echo "== release packages: $1"
  timeout 600 "${priv[@]}" wine "$tests" --gtest_filter="$1.*" --gtest_brief=1
}

status=0
suite Portable && suite Setup || status=1

if [ "$status" -eq 0 ]; then
  chmod a-w "$installed"
  if "${priv[@]}" touch "$installed/probe" 2>/dev/null; then
    rm -f "$installed/probe"
    echo "dist-test: cannot make the install folder read-only here; the per-user folder goes untried" >&2
  else
    KOVAN_INSTALL_READ_ONLY=1
  fi
  suite Installed || status=1
  restore
  KOVAN_INSTALL_READ_ONLY=0
  suite Running && suite Uninstall || status=1
fi

timeout 60 "${priv[@]}" wineserver -w || "${priv[@]}" wineserver -k || true
if [ "$status" -eq 0 ]; then
  rm -rf "$WINEPREFIX" "$work"
else
  echo "dist-test: failed; the prefix stays in $WINEPREFIX" >&2
fi
exit "$status"
