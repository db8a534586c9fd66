#!/bin/sh
# Renders the contact sheet of every example preset into docs/examples/, the
# pictures docs/examples.md shows. Build first (scripts/build.sh, or
# cmake --preset native && cmake --build --preset native); set
# TRIANGLE_RENDER to use another build of the tool.
set -e
cd "$(dirname "$0")/.."
tool="${TRIANGLE_RENDER:-build/native/previewer/triangle-render}"
if [ ! -x "$tool" ]; then
  echo "render-examples: $tool not found; build the native preset first" >&2
  exit 1
fi
mkdir -p docs/examples

# render NAME [options and presets]: 120 frames of 640x360 to docs/examples/NAME.png
render() {
  name=$1
  shift
  "$tool" --quiet --size 640x360 --frames 120 --sheet "docs/examples/$name.png" "$@"
  echo "docs/examples/$name.png"
}

render demo --beat-every 15 examples/demo.preset
render spinning-ring examples/spinning-ring.preset
render depth-scene examples/depth-carousel.preset examples/depth-orbiters.preset
render beat-burst --beat-every 15 examples/beat-burst.preset
render blend-play-additive --blend additive --clear examples/blend-play.preset
render blend-play-mix --blend mix:208 examples/blend-play.preset
render triangle-field examples/triangle-field.preset
render particle-fountain examples/particle-fountain.preset
render ribbon-trail examples/ribbon-trail.preset
song="--audio examples/music/groove.ogg --fps 30 --frames 240"
# shellcheck disable=SC2086
render spectrum-bars $song examples/spectrum-bars.preset
# shellcheck disable=SC2086
render wave-ring $song examples/wave-ring.preset
# shellcheck disable=SC2086
render music-burst $song examples/music-burst.preset
# shellcheck disable=SC2086
render spectrum-history $song examples/spectrum-history.preset
