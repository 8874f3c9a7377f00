#!/usr/bin/env bash
# Runs the program for MINUTES (10 by default) at 120000 particles in benchmark mode with a
# random command every few seconds, and fails if it dies or its resident memory grows by more
# than 5 MB after the first minute. Too long for every run of the suite.
#   tests/e2e/soak.sh BINARY [MINUTES]
set -euo pipefail
if [ $# -lt 1 ]; then
    echo "usage: $0 BINARY [MINUTES]" >&2
    exit 2
fi
exec python3 "$(dirname "$0")/soak.py" "$1" "${2:-10}"
