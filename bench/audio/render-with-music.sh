#!/bin/sh
# The demo preset rendered at 640x360 with and without a song: how much the
# music (decoding, analysis, and each frame's waveform and spectrum) adds.
# Processor time (user + system) of triangle-render, best of three runs each.
# Usage: bench/audio/render-with-music.sh [BUILD_DIR]   (default build/native)
set -e
build=${1:-build/native}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/audio/write-test-song" 124 30 "$work/song.wav"
ffmpeg -nostdin -loglevel error -i "$work/song.wav" -c:a libmp3lame -b:a 192k "$work/song.mp3"

best() {
    best=""
    for run in 1 2 3; do
        /usr/bin/time -f "%U %S" -o "$work/time" "$build/previewer/triangle-render" --quiet --size 640x360 \
            --frames 1800 --out "$work/last.png" "$@" "$root/examples/demo.preset"
        t=$(awk '{ printf "%.3f", $1 + $2 }' "$work/time")
        if [ -z "$best" ] || awk "BEGIN { exit !($t < $best) }"; then best=$t; fi
    done
    echo "$best"
}

without=$(best)
with=$(best --audio "$work/song.mp3")
echo "demo preset, 640x360, 1800 frames (30 s at 60 fps), processor seconds, best of 3:"
echo "  without --audio: $without s"
echo "  with --audio:    $with s (a 30 s MP3)"
awk "BEGIN { printf \"  music adds %.1f %%\\n\", 100 * ($with - $without) / $without }"
