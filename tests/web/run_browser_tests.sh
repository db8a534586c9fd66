#!/bin/sh
# Runs the playground's browser tests: playwright-core from npm into the build
# tree (the package alone: the browser is Debian's chromium, nothing else is
# downloaded), then tests/web/playground_test.mjs.
#   run_browser_tests.sh SITE_DIR BUILD_DIR TRIANGLE_RENDER EXAMPLES_DIR
set -e
site=$1 build=$2 renderer=$3 examples=$4
modules="$build/node_modules-dir"
if [ ! -x "$renderer" ]; then
  echo "no native triangle-render at $renderer: build the native preset first" >&2
  exit 1
fi
# The newest release that still runs on Debian 12's Node.js 18.
version=1.61.1
installed="$modules/node_modules/playwright-core/package.json"
if ! grep -q "\"version\": \"$version\"" "$installed" 2>/dev/null; then
  mkdir -p "$modules"
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm install --prefix "$modules" --no-audit --no-fund --ignore-scripts \
    --no-save "playwright-core@$version" >/dev/null
fi
exec node "$(dirname "$0")/playground_test.mjs" "$site" "$modules" "$renderer" "$examples" "$build/browser-test-output"
