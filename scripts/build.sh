#!/bin/sh
# Builds everything (native tools, the 32-bit product module, the 64-bit
# module, the browser playground) and runs the main job: renders the bundled
# demo preset to pictures and puts the Windows module beside them in out/,
# and the playground's static files in out/web/.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh

for preset in native win32 win64 web; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

mkdir -p out
build/native/previewer/triangle-render --size 640x360 --frames 120 --beat-every 15 \
  --sheet out/demo-sheet.png --out out/demo-last.png examples/demo.preset
cp build/win32/bin/render_triangle* out/
# The browser playground: static files for any web server.
rm -rf out/web
cp -r build/web/site out/web
echo "Demo contact sheet: out/demo-sheet.png (last frame: out/demo-last.png)"
echo "Windows module (32-bit, the product): out/$(basename build/win32/bin/render_triangle*)"
echo "Browser playground: python3 -m http.server --directory out/web, then open http://localhost:8000/"
