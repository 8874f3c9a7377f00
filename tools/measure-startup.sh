#!/usr/bin/env bash
# Start-up time of Embervane, to its first frame on screen, on a private Xvfb.
#   tools/measure-startup.sh [BINARY] [RUNS]      (build/embervane, 5 runs by default)
exec /usr/bin/python3 "$(dirname "$0")/measure-startup.py" "$@"
