#!/bin/sh
# Builds the 32-bit product module twice from clean, in two different places
# (the second from a copy of the sources), and checks that both builds give
# the same bytes, and the same bytes as any module given on the command line
# (a build you want to check). Prints the module's size and SHA-256.
# Usage: scripts/check-reproducible.sh [WORK_DIR [MODULE...]]
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$source_dir/build/reproducible}
[ $# -gt 0 ] && shift
toolchain=$source_dir/cmake/toolchains/i686-w64-mingw32.cmake
jobs=${RT_JOBS:-2}

rm -rf "$work"
mkdir -p "$work/first" "$work/second/sources"
# The copy leaves out build trees and version control: only what a source
# archive holds.
tar -C "$source_dir" --exclude=./build --exclude=./.git --exclude=./out -cf - . | tar -C "$work/second/sources" -xf -

build() {  # SOURCE BUILD_DIR
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DRT_BUILD_TESTS=OFF -DRT_BUILD_BENCH=OFF >"$2.log" 2>&1 &&
    cmake --build "$2" --target render_triangle -j "$jobs" >>"$2.log" 2>&1 ||
    { echo "FAIL: build in $2 failed:"; tail -20 "$2.log"; exit 1; }
}
build "$source_dir" "$work/first/build"
build "$work/second/sources" "$work/second/elsewhere"

first=$work/first/build/bin/render_triangle.dll
status=0
for other in "$work/second/elsewhere/bin/render_triangle.dll" "$@"; do
  if cmp -s "$first" "$other"; then
    echo "same bytes: $other"
  else
    echo "FAIL: $other differs from $first:"
    cmp -l "$first" "$other" | head -5
    status=1
  fi
done
echo "render_triangle.dll: $(wc -c <"$first") bytes, sha256 $(sha256sum "$first" | cut -d' ' -f1)"
exit $status
