#!/bin/sh
# Checks the Debian package as a user would meet it: builds it, installs it
# with apt-get into a clean minimal Debian 12 root (which fetches the
# dependencies it declares), and runs triangle-render from PATH there: its
# version and one render of an installed example. Must run as root.
# A pristine root is kept in build/debian-root/pristine and copied for each
# check, so only the first run downloads the base system.
set -e
cd "$(dirname "$0")/.."

deb=$(scripts/package.sh)
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Depends

pristine=build/debian-root/pristine
if [ ! -f "$pristine/.complete" ]; then
  rm -rf "$pristine"
  scripts/make-debian-root.sh "$pristine"
  touch "$pristine/.complete"
fi
root=build/debian-root/check
rm -rf "$root"
cp -a "$pristine" "$root"
cp "$deb" "$root/tmp/"

expected_version=$(dpkg-deb --field "$deb" Version)
scripts/in-debian-root.sh "$root" "
  set -e
  apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends /tmp/$(basename "$deb") >/dev/null
  cd /tmp
  version=\$(triangle-render --version)
  echo \"\$version\"
  [ \"\$version\" = 'triangle-render $expected_version' ]
  [ \"\$(triangle-live --version)\" = 'triangle-live $expected_version' ]
  # No display in the root: one line and status 2, the libraries all found.
  status=0; env -u DISPLAY -u WAYLAND_DISPLAY triangle-live /usr/share/render-triangle/examples/demo.preset || status=\$?
  [ \"\$status\" = 2 ]
  triangle-render --size 64x36 --frames 10 --out demo.png /usr/share/render-triangle/examples/demo.preset
  [ \"\$(head -c 8 demo.png | od -An -tx1 | tr -d ' ')\" = 89504e470d0a1a0a ]
  ls /usr/share/render-triangle/windows/render_triangle*.dll /usr/share/render-triangle/docs/previewer.md
  echo 'installed package renders from PATH'
"
rm -rf "$root"
