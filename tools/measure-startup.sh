#!/usr/bin/env bash
# Start-up time of Embervane: from launching the process to its first frame on screen, the
# median of several runs. Usage: tools/measure-startup.sh [path/to/embervane] [runs]
#
# What is measured: a poller takes the clock just before it starts the program (data/ as the
# working directory), finds its window by name with xdotool, then reads the window's pixels with
# XGetImage every 2-3 ms until one is not black. The window starts black and a frame is drawn
# whole (floor, HUD and particles) before one swap shows it, so the first lit pixel means the
# first frame is on screen; the poll step, about 3 ms, is included. It always runs under a
# private Xvfb (tools/with-display.sh --private), where Mesa's software renderer draws and
# no other window can answer to the name. EMBERVANE_STARTUP_SHOT names a file for the first lit
# picture (raw 32-bit pixels, 638x478), to see what was caught.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$root/build/embervane}")"
runs="${2:-5}"

if [ -z "${EMBERVANE_STARTUP_INNER:-}" ]; then
    export EMBERVANE_STARTUP_INNER=1
    exec bash "$root/tools/with-display.sh" --private bash "$0" "$program" "$runs"
fi

python3 - "$program" "$root/data" "$runs" <<'EOF'
import ctypes
import os
import statistics
import subprocess
import sys
import time

program, data, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
                ("obdata", ctypes.c_char_p),
                ("create_image", ctypes.c_void_p),
                ("destroy_image", ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p))]


# A window that is not mapped yet answers XGetImage with an error; Xlib's default handler
# would end the poller, so errors are ignored and the poll tries again.
ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
ignore_errors = ErrorHandler(lambda display, event: 0)
x11.XSetErrorHandler(ignore_errors)

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("measure-startup: no X display")

ALL_PLANES = 0xFFFFFFFF
Z_PIXMAP = 2


# Inset by a pixel: without a window manager the window sits at (-1, -1), and a read reaching
# off the screen fails.
def lit(window):
    image_pointer = x11.XGetImage(display, window, 1, 1, 638, 478, ALL_PLANES, Z_PIXMAP)
    if not image_pointer:
        return False
    image = XImage.from_address(image_pointer)
    size = image.bytes_per_line * image.height
    pixels = ctypes.string_at(image.data, size)
    image.destroy_image(image_pointer)
    if pixels.count(0) == size:
        return False
    if os.environ.get("EMBERVANE_STARTUP_SHOT"):
        with open(os.environ["EMBERVANE_STARTUP_SHOT"], "wb") as shot:
            shot.write(pixels)
    return True


# The display is private to this script, so the only window of that name is the program's; its
# menu windows, smaller than the rectangle read, fail the read.
def find_windows():
    found = subprocess.run(["xdotool", "search", "--name", "^Embervane"],
                           capture_output=True, text=True).stdout.split()
    return [int(w) for w in found]


times = []
for run in range(runs):
    start = time.monotonic()
    process = subprocess.Popen([program], cwd=data, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    windows = []
    found = shown = None
    while time.monotonic() - start < 10:
        if not windows:
            windows = find_windows()
            found = time.monotonic() if windows else None
        if any(lit(w) for w in windows):
            shown = time.monotonic()
            break
        # A short rest between polls leaves the CPU to the program being measured.
        time.sleep(0.002)
    process.kill()
    process.wait()
    if shown is None:
        sys.exit(f"measure-startup: run {run + 1}: no frame within 10 s")
    times.append((shown - start) * 1000)
    print(f"run {run + 1}: {times[-1]:.0f} ms (window found at {(found - start) * 1000:.0f} ms)")
    time.sleep(0.2)

print(f"median of {runs}: {statistics.median(times):.0f} ms "
      f"(min {min(times):.0f}, max {max(times):.0f})")
EOF
