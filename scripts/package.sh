#!/bin/sh
# Builds the Debian package of the Linux workbench with the 32-bit Windows
# module inside, and prints its path (build/package/render-triangle_*.deb).
# Both builds make the shipped programs alone, no tests or benchmarks.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
# Without it CPack still writes a package, one that declares no dependencies.
if ! command -v dpkg-shlibdeps >/dev/null; then
  echo "package.sh: dpkg-shlibdeps (package dpkg-dev) is missing: it works out the package's dependencies" >&2
  exit 1
fi

cmake --preset win32-product >/dev/null
cmake --build --preset win32-product >&2
module=$(ls "$PWD"/build/win32-product/bin/render_triangle*.dll | head -n 1)

cmake --preset package -DRT_WINDOWS_MODULE="$module" >/dev/null
cmake --build --preset package >&2
rm -f build/package/render-triangle_*.deb
(cd build/package && cpack -G DEB >&2)
ls "$PWD"/build/package/render-triangle_*.deb
