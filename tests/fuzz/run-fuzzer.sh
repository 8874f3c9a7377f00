#!/usr/bin/env bash
# Fuzzes for a bounded time from a scratch copy of the seed corpus, so that the committed seeds
# never grow; fails on any crash, leak or sanitizer report.
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: $0 FUZZER SECONDS" >&2
    exit 2
fi
fuzzer=$1
seconds=$2
seeds="$(cd "$(dirname "$0")" && pwd)/corpus"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp "$seeds"/* "$work/corpus/"

# New inputs go to the scratch copy only (the first folder); failing inputs land beside it.
set +e
"$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$seeds" 2>&1 | tee "$work/log"
status=${PIPESTATUS[0]}
set -e

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
echo "run-fuzzer: ${runs:-unknown} executions in ${seconds} s"
if [ "$status" -ne 0 ]; then
    for crash in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
        [ -e "$crash" ] || continue
        echo "run-fuzzer: failing input (base64): $(base64 -w0 "$crash")" >&2
    done
    echo "run-fuzzer: the fuzzer failed with status $status" >&2
    exit "$status"
fi
