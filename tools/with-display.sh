#!/usr/bin/env bash
# Runs a command with an X display: the current one if it answers, else a private Xvfb that
# ends with the command. With --private first, always the private one: tests and measurements
# must not depend on a server they do not control, nor put windows on a user's desktop. Mesa's
# software renderer is forced either way, so results do not depend on a GPU.
# Usage: tools/with-display.sh [--private] command [args...]
set -euo pipefail
export LIBGL_ALWAYS_SOFTWARE=1

private=
if [ "${1:-}" = --private ]; then
    private=1
    shift
fi
if [ -z "$private" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$@"
fi

fdfile=$(mktemp)
# -noreset: by default the server resets whenever its last client leaves, and a client that
# connects during that reset is dropped ("failed to open display"). Tests run in parallel open
# and close connections all the time, so they would meet that window now and then.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" 2>/dev/null &
xvfb=$!
# Wait for the server to be gone: one that is still shutting down removes its socket, and a
# new server started right after may have taken the same display number.
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 200); do
    [ -s "$fdfile" ] && break
    sleep 0.05
done
if ! [ -s "$fdfile" ]; then
    echo "with-display: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$fdfile")"
"$@"
