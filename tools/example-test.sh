#!/usr/bin/env bash
# Builds examples/embed-resources with the mingw-w64 toolchain and Ninja,
# using the kovanc given, and checks what a build of it promises: the program,
# run under Wine, finds every pool resource through the generated header; a
# second build runs nothing; a touched pool file compiles the pool again and
# relinks, and nothing else.
#
#   tools/example-test.sh KOVANC WORK_FOLDER
set -euo pipefail
kovanc="$1"
work="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/wine-env.sh"

fail() { echo "example: $*" >&2; exit 1; }

# The pool is copied, so that touching its files leaves the checkout alone.
rm -rf "$work"
mkdir -p "$work"
cp -r "$root/examples/embed-resources" "$work/source"
cmake -S "$work/source" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.toolchain.cmake" \
  -DCMAKE_C_FLAGS="-Wall -Wextra -pedantic -Werror" -DCMAKE_MODULE_PATH="$root/cmake" -DKOVANC_EXECUTABLE="$kovanc" >"$work/configure.log" ||
  { cat "$work/configure.log"; fail "configure failed"; }
ninja -C "$work/build" >"$work/build1.log" || { cat "$work/build1.log"; fail "the first build failed"; }

kovan_display
kovan_wine_prefix
expected="APP: 20 bytes
LOGO: 232 bytes
GREETING: 25 bytes
7: 65 bytes
GREETING says: Hello from a Kovan pool."
run() { wine "$work/build/embed_resources.exe" | tr -d '\r'; }
output="$(run)" || fail "the program failed: $output"
[ "$output" = "$expected" ] || fail "the program printed:
$output
instead of:
$expected"

# Nothing changed: no step runs.
second="$(ninja -C "$work/build")"
grep -q "no work to do" <<<"$second" || fail "a build with nothing changed ran: $second"

# One pool file touched: the pool is compiled again and the program relinked,
# and main.c, whose header did not change, is not compiled again.
sleep 1
touch "$work/source/pool/logo.bmp"
third="$(ninja -C "$work/build")"
steps="$(grep -c '^\[' <<<"$third" || true)"
grep -q "Compiling the resource pool" <<<"$third" && grep -q "Linking C executable" <<<"$third" && [ "$steps" = 2 ] ||
  fail "touching a pool file ran other steps than the pool compile and the link:
$third"
[ "$(run)" = "$expected" ] || fail "the relinked program printed something else"
ninja -C "$work/build" | grep -q "no work to do" || fail "the build after the relink was not up to date"
echo "example: built, run under Wine, rebuilt only what a touched pool file needs"
