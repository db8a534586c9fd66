#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing.
# (ca-certificates: the browser tests fetch their driver from npm's registry;
# dpkg-dev: dpkg-shlibdeps gives the Debian package its dependencies.)
# Debian's packages do not always pull in what they import at run time
# (python3-unicorn needs python3-distutils and python3-pkg-resources), so
# those are listed here too.
# Runs apt-get as root (or through sudo); does nothing when all are present.
set -e

packages="
  cmake ninja-build g++ make pkg-config git file
  googletest libbenchmark-dev zlib1g-dev libpng-dev
  g++-multilib qemu-user
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64
  clang-14 lld-14 libclang-rt-14-dev valgrind time
  python3 python3-unicorn python3-pefile python3-distutils python3-pkg-resources
  libgtest-dev libgmock-dev
  xvfb xauth xdotool imagemagick sox
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev libavfilter-dev ffmpeg
  libaubio-dev libsdl2-dev
  libpixman-1-dev libmuparser-dev
  emscripten chromium ca-certificates
  debootstrap dpkg-dev
"

missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $p" ;;
  esac
done
# Node.js and npm (for the browser tests' driver) may come from elsewhere
# than Debian, with npm inside the nodejs package: any working pair will do.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  missing="$missing nodejs npm"
fi
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" = 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo apt-get install -y -q --no-install-recommends $missing
