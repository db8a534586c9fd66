#!/bin/sh
# Builds every configuration and runs every test: the native core, the
# browser playground in headless chromium against the native previewer (so
# after native), the 32-bit x86 core under qemu-i386, the sanitizer builds,
# the Windows modules (static checks of the 32-bit product, Windows-side tests
# under wine64), and a fixed number of inputs through each fuzz target
# (scripts/fuzz.sh runs them longer), and then the Debian package installed
# and run in a clean Debian 12 root (RT_CHECK_PACKAGE=0 skips that step).
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh

presets="${RT_TEST_PRESETS:-native web linux-i686 win32 win64 native-asan native-tsan fuzz}"
failed=""
for preset in $presets; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  if ! ctest --preset "$preset"; then failed="$failed $preset"; fi
done

if [ "${RT_CHECK_PACKAGE:-1}" != 0 ]; then
  echo "=== package"
  if ! scripts/check-package.sh; then failed="$failed package"; fi
fi

if [ -n "$failed" ]; then
  echo "Test failures in:$failed"
  exit 1
fi
echo "All test configurations passed: $presets"
