#!/usr/bin/env bash
# Builds a static libxlsxwriter for the Windows cross build from Debian's source
# package, against the static zlib of libz-mingw-w64-dev, and installs it into
# DEPS (default: build/win64/deps) as include/ and lib/.
#
# The source comes through apt with a deb-src entry of its own, kept under DEPS,
# so the system's apt configuration is left alone. The version is the one of the
# installed libxlsxwriter-dev when there is one, so both builds use the same code.
#
#   tools/build_xlsxwriter_mingw.sh [DEPS]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
deps="$(mkdir -p "${1:-$root/build/win64/deps}" && cd "${1:-$root/build/win64/deps}" && pwd)"
work="$deps/src"
log="$deps/xlsxwriter-build.log"
triplet=x86_64-w64-mingw32
jobs="${KOVAN_JOBS:-2}"

if [ -f "$deps/lib/libxlsxwriter.a" ] && [ -f "$deps/include/xlsxwriter.h" ]; then
  exit 0
fi

for tool in apt-get dpkg-source cmake ninja "$triplet-gcc-posix"; do
  command -v "$tool" >/dev/null || { echo "build_xlsxwriter_mingw: $tool is missing (tools/setup.sh)" >&2; exit 1; }
done
[ -f "/usr/$triplet/lib/libz.a" ] || { echo "build_xlsxwriter_mingw: libz-mingw-w64-dev is missing" >&2; exit 1; }

: >"$log"
trap 'echo "build_xlsxwriter_mingw: failed, see $log" >&2; tail -n 20 "$log" >&2' ERR

# A private apt state that knows only the source index of the system's release.
. /etc/os-release
suite="${VERSION_CODENAME:?no release code name in /etc/os-release}"
apt_dir="$deps/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$work"
echo "deb-src ${KOVAN_DEBIAN_MIRROR:-http://deb.debian.org/debian} $suite main" >"$apt_dir/sources.list"
apt_opts=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=/dev/null"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "APT::Sandbox::User=$(id -un)"
)
apt-get -q "${apt_opts[@]}" update >>"$log" 2>&1

package=libxlsxwriter
version="$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev 2>/dev/null || true)"
[ -z "$version" ] || package="libxlsxwriter=$version"

cd "$work"
rm -rf libxlsxwriter-*/ build
apt-get -q "${apt_opts[@]}" source --download-only "$package" >>"$log" 2>&1
dsc="$(ls -t libxlsxwriter_*.dsc | head -n1)"
# apt has checked the files against the signed index; the .dsc's own signature
# would need debian-keyring.
dpkg-source --no-check -x "$dsc" >>"$log" 2>&1
src="$(find . -maxdepth 1 -type d -name 'libxlsxwriter-*' | head -n1)"

# With the library's own minizip and temporary-file code; no tests or examples.
cmake -S "$src" -B build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$deps" \
  -DCMAKE_INSTALL_LIBDIR=lib \
  -DBUILD_SHARED_LIBS=OFF \
  -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
  -DZLIB_INCLUDE_DIR="/usr/$triplet/include" \
  -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a" >>"$log" 2>&1
cmake --build build -j"$jobs" >>"$log" 2>&1
cmake --install build >>"$log" 2>&1
echo "build_xlsxwriter_mingw: $deps/lib/libxlsxwriter.a"
