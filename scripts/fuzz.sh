#!/bin/sh
# Runs one libFuzzer target (or all of them) for longer than CI does.
#
#   scripts/fuzz.sh TARGET [SECONDS] [libFuzzer options...]
#   scripts/fuzz.sh all [SECONDS]
#
# TARGET is preset_block_fuzzer, script_fuzzer, triangle_fuzzer or
# preset_text_fuzzer; SECONDS defaults to 600. Builds the `fuzz` preset
# (clang, AddressSanitizer, UndefinedBehaviorSanitizer) first. Inputs found
# along the way collect in build/fuzz/fuzz/work/TARGET and are reused by the
# next run; the seed corpus in fuzz/corpus/TARGET is only read. A crash is
# saved as build/fuzz/fuzz/crash-* (replay it with `build/fuzz/fuzz/TARGET FILE`).
# RT_FUZZ_BUILD_DIR=DIR builds in DIR instead of build/fuzz.
set -e
cd "$(dirname "$0")/.."

targets="preset_block_fuzzer script_fuzzer triangle_fuzzer preset_text_fuzzer"
target="${1:?usage: scripts/fuzz.sh TARGET|all [SECONDS] [libFuzzer options...]}"
seconds="${2:-600}"
[ $# -ge 2 ] && shift 2 || shift $#

case " $targets all " in
  *" $target "*) ;;
  *) echo "unknown target '$target'; one of: $targets all" >&2; exit 2 ;;
esac

build="${RT_FUZZ_BUILD_DIR:-build/fuzz}"
scripts/install-deps.sh
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target fuzz_targets

[ "$target" = all ] && run="$targets" || run="$target"
for name in $run; do
  echo "=== $name for $seconds s"
  work="$build/fuzz/work/$name"
  mkdir -p "$work"
  "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/fuzz/" -print_final_stats=1 "$@" "$work" "fuzz/corpus/$name"
done
