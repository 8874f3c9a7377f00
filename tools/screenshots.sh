#!/usr/bin/env bash
# Takes the README's pictures: docs/fountain.png after a few seconds of the fountain, and
# docs/benchmark.png a few seconds into benchmark mode. Builds the release binary in build/
# when it is missing; EMBERVANE_BINARY names another binary to use instead. Runs on a private
# Xvfb with Mesa's software renderer, so the pictures do not depend on the machine's GPU.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

binary=${EMBERVANE_BINARY:-build/embervane}
if [ ! -x "$binary" ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build build --target embervane
fi
binary=$(realpath "$binary")
mkdir -p docs

if [ -z "${EMBERVANE_SCREENSHOTS_INNER:-}" ]; then
    export EMBERVANE_SCREENSHOTS_INNER=1 EMBERVANE_BINARY="$binary"
    # A private server: no other window can cover ours or answer to its name.
    exec bash "$root/tools/with-display.sh" --private bash "$0"
fi

app=
trap '[ -n "$app" ] && kill "$app" 2>/dev/null || true' EXIT

(cd "$root/data" && exec "$binary") &
app=$!
window=
for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Embervane ' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || { echo "screenshots: the program ended" >&2; exit 1; }
    sleep 0.05
done
[ -n "$window" ] || { echo "screenshots: no window" >&2; exit 1; }
xdotool windowmove --sync "$window" 0 0
xdotool windowfocus --sync "$window"
xdotool mousemove 900 700  # keep the pointer, and so the camera, out of it

sleep 4
import -window "$window" docs/fountain.png
xdotool key n
sleep 4
import -window "$window" docs/benchmark.png
echo "wrote docs/fountain.png and docs/benchmark.png"
