#!/usr/bin/env bash
# Builds Embervane and runs it with data/ as its working directory. Without a display it runs
# the program under a private Xvfb for a few seconds and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target embervane

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    cd data
    exec ../build/embervane
fi

mkdir -p out
shot="$PWD/out/screenshot.png"
run_headless() {
    (cd data && exec ../build/embervane) &
    local program=$!
    local window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name '^Embervane' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.05
    done
    sleep "${RUN_SECONDS:-4}"
    local status=1
    if [ -n "$window" ] && import -window "$window" "$shot"; then
        status=0
    fi
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    return "$status"
}
export -f run_headless
export shot
rm -f "$shot"
if bash tools/with-display.sh bash -c run_headless; then
    echo "No display here: ran Embervane under Xvfb for ${RUN_SECONDS:-4} s. Screenshot: $shot"
else
    echo "No display here, and Embervane showed no window under Xvfb." >&2
    exit 1
fi
