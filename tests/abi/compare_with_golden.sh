#!/bin/sh
# Runs a scenario program and compares its per-frame hashes with the golden
# list recorded from the native build: every build must render the same bytes.
# Usage: compare_with_golden.sh GOLDEN COMMAND [ARGS...]
set -u
golden=$1; shift
output=$("$@" 2>&1); status=$?
printf '%s\n' "$output" | grep -v '^frame ' || true
if [ $status -ne 0 ]; then echo "scenario program failed with status $status"; exit 1; fi
actual=$(printf '%s\n' "$output" | grep '^frame ' | tr -d '\r')
if [ "$actual" != "$(cat "$golden")" ]; then
  echo "frames differ from the native build's:"
  printf '%s\n' "$actual" | diff "$golden" - || true
  exit 1
fi
echo "all $(printf '%s\n' "$actual" | wc -l) frame hashes match the native build"
