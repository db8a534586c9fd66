#!/bin/sh
# Renders every picture in the documentation again from the sources; nothing
# in docs/ is drawn by hand. Run it after changing an example preset, the
# renderer, the previewer's contact sheets or the editor panel.
#
#   docs/examples/*.png   contact sheets of the example presets
#                         (scripts/render-examples.sh, the native previewer)
#   docs/demo.gif         the README's looping clip of the demo (--video)
#   docs/blend-modes.png  one triangle in every blend mode (blend-gallery)
#   docs/panel.png        the editor panel under Wine and Xvfb
#                         (scripts/panel-screenshot.sh, the win64 build)
#   docs/live.png         triangle-live with its overlay, under Xvfb
#                         (scripts/live-screenshot.sh)
#
# Usage: scripts/render-docs-pictures.sh [--no-panel]
#   --no-panel  skip the panel and live-window screenshots (they need the
#               win64 build, Wine, Xvfb, xdotool and ImageMagick:
#               scripts/install-deps.sh installs them)
# RT_DOCS_BUILD names the native build directory (default build/native); the
# panel uses build/win64.
set -e
cd "$(dirname "$0")/.."

panel=yes
case "$1" in
  "") ;;
  --no-panel) panel=no ;;
  *) echo "usage: scripts/render-docs-pictures.sh [--no-panel]" >&2; exit 2 ;;
esac

build="${RT_DOCS_BUILD:-build/native}"
cmake --preset native -B "$build" >/dev/null
cmake --build "$build" --target triangle-render blend-gallery

TRIANGLE_RENDER="$build/previewer/triangle-render" scripts/render-examples.sh
# 2.5 s at 480 x 270 keeps the file near 1 MB.
"$build/previewer/triangle-render" --quiet --size 480x270 --frames 150 --beat-every 15 --video docs/demo.gif \
  examples/demo.preset
echo docs/demo.gif
"$build/imaging/blend-gallery" docs/blend-modes.png
if [ "$panel" = yes ]; then
  scripts/panel-screenshot.sh
  scripts/live-screenshot.sh "$build"
fi
