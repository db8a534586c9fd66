#!/bin/sh
# Documentation step, not part of the tests: plays the demo preset in
# triangle-live under Xvfb, turns the overlay on with the O key, pauses, and
# saves the window as docs/live.png.
# Usage: scripts/live-screenshot.sh [BUILD_DIR]   (default build/native)
set -e
cd "$(dirname "$0")/.."
build=${1:-build/native}
cmake --preset native -B "$build" >/dev/null
cmake --build "$build" --target triangle-live
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/capture.sh" <<SCRIPT
set -e
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$build/live/triangle-live" --size 640x360 examples/demo.preset \
  >"$work/live.out" 2>&1 &
live=\$!
window=\$(xdotool search --sync --onlyvisible --pid \$live | head -1)
sleep 4
xdotool key --window \$window o
sleep 1.5
xdotool key --window \$window space
sleep 1
import -window \$window "$work/live.png"
xdotool key --window \$window q
wait \$live
SCRIPT
xvfb-run -a -s "-screen 0 1024x768x24" sh "$work/capture.sh"
cp "$work/live.png" docs/live.png
echo docs/live.png
