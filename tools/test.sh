#!/usr/bin/env bash
# Builds the presets and runs every test: native unit tests (also under
# AddressSanitizer and UBSan), the Windows tests
# under Wine, the release packages (installed, started and uninstalled under
# Wine) and the fuzz targets (corpus replay and a short bounded run).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh

FUZZ_SECONDS="${KOVAN_FUZZ_SECONDS:-15}"

cmake --preset native -DKOVAN_WERROR=ON >/dev/null
cmake --build --preset native
cmake --preset sanitize -DKOVAN_WERROR=ON >/dev/null
cmake --build --preset sanitize
cmake --preset win64 -DKOVAN_WERROR=ON >/dev/null
cmake --build --preset win64
cmake --preset fuzz -DKOVAN_WERROR=ON >/dev/null
cmake --build --preset fuzz
cmake --preset win64-release >/dev/null
cmake --build --preset win64-release

kovan_display
kovan_wine_prefix

status=0
passed=0
failed=0
count() { if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi; }

count ctest --preset native --timeout 300
count ctest --preset sanitize --timeout 600
count ctest --preset win64 --timeout 600
count bash tools/dist-test.sh

for fuzzer in build/fuzz/bin/*_fuzz; do
  name="$(basename "$fuzzer")"
  corpus="tests/fuzz/corpus/${name%_fuzz}"
  echo "== $name: corpus replay and ${FUZZ_SECONDS}s of fuzzing"
  work="$(mktemp -d)"
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  if ! "$fuzzer" -runs=0 "$corpus" >/dev/null 2>"$work.log"; then
    tail -n 40 "$work.log"; failed=$((failed + 1)); status=1; continue
  fi
  if "$fuzzer" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=1024 -artifact_prefix="$work.crash-" \
      "$work" >/dev/null 2>"$work.log"; then
    passed=$((passed + 1))
  else
    tail -n 40 "$work.log"; failed=$((failed + 1)); status=1
  fi
  rm -rf "$work" "$work.log" "$work".crash-*
done

# One line per suite: the native tests, the Windows tests, the release
# packages, each fuzz target.
echo "suites: $passed passed, $failed failed"
exit "$status"
