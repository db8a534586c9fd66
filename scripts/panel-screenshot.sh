#!/bin/sh
# Documentation step, not part of the tests: shows the editor panel filled
# with the demo preset's scripts under Xvfb, through Wine's X11 driver in a
# prefix of its own, and saves the panel's window as docs/panel.png.
# Usage: scripts/panel-screenshot.sh [BUILD_DIR]   (default build/win64)
set -e
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/win64}
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target render_triangle panel_showcase

export WINEPREFIX="$root/build/wineprefix-x11"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/capture.sh" <<SCRIPT
set -e
"$wine" wineboot -i >/dev/null 2>&1 || true
"$wine" "$build/tests/windows/panel_showcase.exe" "$build/bin/render_triangle.dll" \
  examples/demo.preset 20 >"$work/showcase.out" &
showcase=\$!
for _ in \$(seq 60); do
  grep -q '^panel' "$work/showcase.out" 2>/dev/null && break
  sleep 1
done
sleep 3
import -window root "$work/screen.png"
wait \$showcase || true
SCRIPT
xvfb-run -a -s "-screen 0 800x600x24" sh "$work/capture.sh"

geometry=$(awk '/^panel/ { gsub("\r", ""); printf "%dx%d+%d+%d", $4, $5, $2, $3 }' "$work/showcase.out")
[ -n "$geometry" ] || { echo "the showcase never showed the panel"; exit 1; }
mkdir -p docs
convert "$work/screen.png" -crop "$geometry" +repage docs/panel.png
echo "docs/panel.png: panel at $geometry"
