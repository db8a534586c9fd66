#!/bin/sh
# Makes a fresh minimal Debian 12 root in DIR (debootstrap's minbase: the
# base system and nothing else), from the same package mirror as this
# machine's own apt sources. Must run as root.
#   scripts/make-debian-root.sh DIR
set -e
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
dir=$1

mirror=$(
  { cat /etc/apt/sources.list 2>/dev/null; cat /etc/apt/sources.list.d/*.list 2>/dev/null; } |
    awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^https?:\/\//) { print $i; exit } }'
)
if [ -z "$mirror" ]; then
  mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
    awk '$1 == "URIs:" { print $2; exit }')
fi
mirror=${mirror:-http://deb.debian.org/debian}

if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
fi
mkdir -p "$dir"
debootstrap --variant=minbase bookworm "$dir" "$mirror"
# Name resolution for apt inside the root, and the certificate authorities
# this machine adds to Debian's (a network's HTTPS proxy, say): npm reaches
# its registry through the same network. ca-certificates picks them up when
# it is installed in the root.
cp /etc/resolv.conf "$dir/etc/resolv.conf" 2>/dev/null || true
for ca in /usr/local/share/ca-certificates/*.crt; do
  [ -f "$ca" ] || continue
  mkdir -p "$dir/usr/local/share/ca-certificates"
  cp "$ca" "$dir/usr/local/share/ca-certificates/"
done
