#!/usr/bin/python3
"""Start-up time of Embervane: from launching the process to its first frame on screen, the
median of several runs on a private Xvfb, where Mesa's software renderer draws.

    measure-startup.py [BINARY] [RUNS]

The poller takes the clock just before it starts the program (data/ as its working folder),
finds its window by name, then reads a band of the window's pixels every few milliseconds until
one is not black.
The window starts black and a frame is drawn whole before one swap shows it, so the first lit
pixel is the first frame; the poll step, a few milliseconds, is included.
"""

import os
import statistics
import subprocess
import sys
import time

from Xlib import X, display, error

from xsession import DATA, RELEASE, TITLE, XServer


# True once the program's window shows a pixel that is not black in a band across the floor,
# which every frame lights, pictures or not. A small read keeps the poll step short.
def lit(root):
    for window in root.query_tree().children:
        try:
            if window.get_wm_name() == TITLE:
                pixels = window.get_image(1, 380, 638, 8, X.ZPixmap, 0xFFFFFFFF).data
                if pixels.count(0) != len(pixels):
                    return True
        except error.XError:  # not mapped yet
            pass
    return False


def main(binary, runs):
    times = []
    with XServer() as x:
        root = display.Display(x.display).screen().root
        for run in range(runs):
            start = time.monotonic()
            process = subprocess.Popen([binary], cwd=DATA, env=x.env, stderr=subprocess.DEVNULL)
            while not lit(root) and time.monotonic() - start < 10:
                time.sleep(0.002)  # leaves the CPU to the program being measured
            shown = time.monotonic()
            process.kill()
            process.wait()
            if shown - start >= 10:
                sys.exit(f"measure-startup: run {run + 1}: no frame within 10 s")
            times.append((shown - start) * 1000)
            print(f"run {run + 1}: {times[-1]:.0f} ms")
            time.sleep(0.2)
    print(f"median of {runs}: {statistics.median(times):.0f} ms "
          f"(min {min(times):.0f}, max {max(times):.0f})")


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else RELEASE,
         int(sys.argv[2]) if len(sys.argv) > 2 else 5)
