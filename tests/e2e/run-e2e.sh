#!/usr/bin/env bash
# Runs every end-to-end case against the real program: one line per case, then "N passed,
# M failed"; the status is non-zero when any case failed. Each case starts its own Xvfb, so
# DISPLAY is not needed. Frames of failed cases are kept in $E2E_ARTEFACTS (default: a fresh
# temporary folder, named in the failure line). E2E_SEED fixes the storm's random choices.
#   tests/e2e/run-e2e.sh RELEASE_BINARY SANITIZER_BINARY [--only CASE ...]
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: $0 RELEASE_BINARY SANITIZER_BINARY [--only CASE ...]" >&2
    exit 2
fi
release=$1
sanitizer=$2
shift 2
exec python3 "$(dirname "$0")/e2e.py" --release "$release" --sanitizer "$sanitizer" "$@"
