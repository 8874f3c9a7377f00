#!/usr/bin/env bash
# Fuzzes for SECONDS from a scratch copy of the seeds in CORPUS (corpus/, the decoder's, unless
# named), so that the committed corpus never grows; fails on any crash, leak or sanitizer report,
# and prints the input that did it.
#   tests/fuzz/run-fuzzer.sh FUZZER SECONDS [CORPUS]
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$(dirname "$0")/${3:-corpus}" "$work/corpus"
if ! "$1" -max_total_time="$2" -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" \
    "$work/corpus"; then
    for input in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
        [ -e "$input" ] && echo "run-fuzzer: failing input (base64): $(base64 -w0 "$input")" >&2
    done
    exit 1
fi
