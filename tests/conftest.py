# Fixtures and helpers of the golden frames, the system tests and the package tests: a private X
# server and programs for each test, and the pictures they compare.

import os
import sys
import time

import numpy
import pytest
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from xsession import (DATA, RELEASE, ROOT, TITLE, WINDOWS, WINE, Program, XServer,  # noqa: E402,F401
                      poll)

# The window's title in the program's own words: the build writes the title that finds the
# window, and a slip there would pass a comparison with it.
WINDOW_TITLE = "Embervane 1.45 Mar 7, 2001"
SCENE = numpy.s_[:440]  # the picture's rows above the HUD
FLOOR = numpy.s_[330:440]  # floor only, from the start-up camera
GOLDEN = os.path.join(ROOT, "tests", "data", "golden")
OUTLIERS = 16
SKY = numpy.s_[:250]  # above the floor's far edge from the start-up camera
# How plain each picture's part of a frame may be with the picture, and must be without it.
PLAIN = {"wood.tga": 0.5, "font.tga": 0.5, "star.tga": 0.2}  # sprites: < 0.04; squares: > 0.4


# How much of each picture's part of a frame is drawn as without the picture: the floor in plain
# blue-grey, the count line's glyphs ("32000 particles") as solid blocks, and the particles as
# flat squares (the lit pixels in the sky as bright as their left neighbour; a sprite's glow falls
# off).
def plain(frame):
    return {"wood.tga": (numpy.abs(frame[FLOOR] - (0, 77, 102)).max(-1) < 6).mean(),
            "font.tga": (numpy.abs(frame[446:456, :200] - (255, 255, 0)).max(-1) < 12).mean(),
            "star.tga": (numpy.diff(frame[SKY].max(-1))[frame[SKY, 1:].max(-1) > 60] == 0).mean()}


# Starts programs on the test's own server (their reports in .stderr, their output in .stdout),
# the Linux build's or the Windows build's under Wine; ends both afterwards.
@pytest.fixture
def launch(tmp_path):
    with XServer() as x:
        programs = []

        def start(binary=RELEASE, cwd=DATA, sanitizer=False, window_manager=False, windows=False):
            binary = os.path.join(ROOT, "build-asan", "embervane") if sanitizer else binary
            binary = os.path.join(WINDOWS, "embervane.exe") if windows else binary
            if window_manager:
                x.start_window_manager()
            # The checked build looks for leaks as its window closes (see Close).
            env = {"ASAN_OPTIONS": "detect_leaks=1",
                   "LSAN_OPTIONS": f"suppressions={ROOT}/tests/system/lsan.supp",
                   "UBSAN_OPTIONS": "print_stacktrace=1:halt_on_error=1"}
            log, out = (open(tmp_path / f"{name}{len(programs)}", "w") for name in ("stderr", "out"))
            programs.append(Program(x, binary, cwd, env, log, out, WINE if windows else ()))
            return programs[-1]

        yield start
        for program in programs:
            program.stop()


# How many pixels of region differ between two pictures by more than `by` in a channel.
def changed(a, b, region=SCENE, by=40):
    return int((numpy.abs(a[region] - b[region]).max(axis=-1) > by).sum())


# The first picture for which test holds.
def wait_for(app, test, what, timeout=15):
    return poll(lambda: (lambda frame: frame if test(frame) else None)(app.shot()), timeout, what)


# The picture held still: every particle frozen (and so equally faded) by "f" just before, once
# two shots 0.3 s apart agree (held particles still fade, a few hundred pixels).
def settle(app):
    app.keys("f")

    def still():
        first = app.shot()
        time.sleep(0.3)
        last = app.shot()
        return last if changed(first, last) < 500 else None
    return poll(still, 15, "still picture")


# Closes the window as a window manager would, or through the one running; expects status 0, no
# report.
def close_cleanly(app, through_manager=False):
    app.close(through_manager)
    status = app.process.wait(30)
    report = open(app.stderr.name).read()
    assert status == 0, report
    assert "Sanitizer" not in report and "runtime error" not in report, report


# Takes pictures until one is within `tolerance` of the reference `case` but for OUTLIERS pixels;
# after `timeout` seconds fails, naming the last picture and a difference picture (the reference
# dimmed, the differing pixels red).
def check_against_reference(shoot, case, folder, tolerance=8, timeout=0):
    wanted = numpy.asarray(Image.open(f"{GOLDEN}/{case}.png").convert("RGB"), dtype=int)
    deadline = time.monotonic() + timeout
    while True:
        seen = shoot()
        off = numpy.abs(seen - wanted).max(axis=-1) > tolerance  # a menu of another size raises
        if off.sum() <= OUTLIERS:
            return
        if time.monotonic() > deadline:
            break
    Image.fromarray(seen.astype(numpy.uint8)).save(folder / f"{case}-seen.png")
    difference = numpy.where(off[..., None], [255, 0, 0], wanted // 3)
    Image.fromarray(difference.astype(numpy.uint8)).save(folder / f"{case}-difference.png")
    pytest.fail(f"{off.sum()} pixels differ by more than {tolerance}: "
                f"{folder}/{case}-seen.png, {case}-difference.png")
