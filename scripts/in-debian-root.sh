#!/bin/sh
# Runs a shell command as root inside a Debian root made by
# make-debian-root.sh, with /proc, /sys and /dev of this machine mounted in
# it for the command's lifetime. Exits with the command's status.
#   scripts/in-debian-root.sh DIR COMMAND
set -e
[ $# -eq 2 ] || { echo "usage: $0 DIR COMMAND" >&2; exit 2; }
dir=$(cd "$1" && pwd)
command=$2

unmount() {
  for m in dev sys proc; do
    if mountpoint -q "$dir/$m"; then umount -R "$dir/$m" || umount -lR "$dir/$m" || true; fi
  done
}
trap unmount EXIT
trap 'exit 130' INT TERM

mount -t proc proc "$dir/proc"
mount --rbind /sys "$dir/sys"
mount --make-rslave "$dir/sys"
mount --rbind /dev "$dir/dev"
mount --make-rslave "$dir/dev"

status=0
env -i HOME=/root TERM=dumb LANG=C.UTF-8 PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  chroot "$dir" /bin/sh -c "$command" || status=$?
exit $status
