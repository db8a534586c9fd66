#!/bin/sh
# Proves the README's quick start on a machine that has never seen the
# project: makes a fresh minimal Debian 12 root, clones this repository's
# committed HEAD into it, and runs the two quick-start commands there as
# root. Prints the log's tail and exits with the commands' status. Slow (it
# installs the whole toolchain): run it before landing a change that adds a
# dependency, not on every CI run. Must run as root.
#   scripts/fresh-check.sh [WORKDIR]     (default: build/fresh-check)
set -e
cd "$(dirname "$0")/.."
repo=$(pwd)
work=${1:-build/fresh-check}
root=$work/root
log=$work/fresh-check.log

if ! git diff --quiet HEAD 2>/dev/null; then
  echo "note: uncommitted changes are not part of the check; it uses HEAD" >&2
fi
if [ -d "$root" ]; then
  for m in dev sys proc; do mountpoint -q "$root/$m" && umount -lR "$root/$m"; done
  rm -rf "$root"
fi
mkdir -p "$work"
: > "$log"

echo "Making a fresh Debian 12 root in $root (log: $log)"
scripts/make-debian-root.sh "$root" >> "$log" 2>&1
git clone -q --no-local "$repo" "$root/root/render-triangle"

echo "Running the quick start inside it"
status=0
scripts/in-debian-root.sh "$root" \
  'cd /root/render-triangle && scripts/build.sh && scripts/test.sh' >> "$log" 2>&1 || status=$?

tail -n 40 "$log"
if [ "$status" -eq 0 ]; then echo "fresh-check: both quick-start commands passed"
else echo "fresh-check: FAILED with status $status (full log: $log)"; fi
exit "$status"
