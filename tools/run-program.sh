#!/usr/bin/env bash
# Runs the built program with data/ as its working folder. Without a display it runs it on a
# private Xvfb for a few seconds (RUN_SECONDS) and saves its picture instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    cd data
    exec ../build/embervane
fi
mkdir -p out
/usr/bin/python3 tools/xsession.py shot out/screenshot.png "${RUN_SECONDS:-4}"
echo "No display here: ran Embervane under Xvfb for ${RUN_SECONDS:-4} s. Picture: out/screenshot.png"
