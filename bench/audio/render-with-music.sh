#!/bin/sh
# The demo preset rendered at 640x360 with and without a song: how much the
# music (decoding, analysis, and each frame's waveform and spectrum) adds.
# Both runs beat every 29 frames (the song's 124 BPM at 60 fps), so they draw
# the same frames and only the music's own cost differs. Wall-clock time and
# processor time (user + system, both threads) of triangle-render, best of
# five runs each, the two kinds of run taking turns.
# Usage: bench/audio/render-with-music.sh [BUILD_DIR] [TRIANGLE_RENDER]
#   (defaults build/native and the build's triangle-render)
set -e
build=${1:-build/native}
tool=${2:-$build/previewer/triangle-render}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/audio/write-test-song" 124 30 "$work/song.wav"
ffmpeg -nostdin -loglevel error -i "$work/song.wav" -c:a libmp3lame -b:a 192k "$work/song.mp3"

# One run; appends "wall cpu" to the file named first.
run() {
    into=$1
    shift
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$tool" --quiet --size 640x360 --frames 1800 --beat-every 29 \
        --out "$work/last.png" "$@" "$root/examples/demo.preset"
    awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' "$work/time" >> "$into"
}

for round in 1 2 3 4 5; do
    run "$work/without"
    run "$work/with" --audio "$work/song.mp3"
done
best() { sort -n -k"$2" "$1" | head -1 | awk -v c="$2" '{ print $c }'; }
wall0=$(best "$work/without" 1); cpu0=$(best "$work/without" 2)
wall1=$(best "$work/with" 1); cpu1=$(best "$work/with" 2)
echo "demo preset, 640x360, 1800 frames (30 s at 60 fps), best of 5:"
echo "                   wall-clock   processor"
echo "  without --audio: $wall0 s      $cpu0 s"
echo "  with --audio:    $wall1 s      $cpu1 s   (a 30 s MP3)"
awk "BEGIN { printf \"  music adds       %.1f %%       %.1f %%\\n\", 100 * ($wall1 - $wall0) / $wall0, 100 * ($cpu1 - $cpu0) / $cpu0 }"
