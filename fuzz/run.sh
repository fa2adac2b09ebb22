#!/usr/bin/env bash
# Runs one fuzz target for a bounded time: its seed corpus first, then new inputs, which go to a
# temporary folder. Any crash, hang (10 s), leak or sanitizer report fails the run, and the input
# that caused it is left in fuzz/findings/ to be kept in the corpus once mended.
# Usage: run.sh TARGET_BINARY SECONDS
set -euo pipefail
binary=$1
seconds=$2
name=$(basename "$binary")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/new" "$here/findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../tests/lsan.supp}
export TMPDIR="$work"
"$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$here/findings/$name-" \
    "$work/new" "$here/corpus/$name"
