# Fixtures and helpers of the system tests: a private X server for each test, the programs on
# it, and what a user sees of them.

import os
import sys
import time

import numpy
import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
from xsession import DATA, RELEASE, ROOT, Program, XServer, poll  # noqa: E402,F401

SCENE = numpy.s_[:440]  # the picture's rows above the HUD
FLOOR = numpy.s_[330:440]  # floor only, from the start-up camera


# Starts a program on the test's own server, the sanitizer build when asked (its reports
# in .log), and ends both after the test, whatever the test did.
@pytest.fixture
def launch(tmp_path):
    with XServer() as x:
        programs = []

        def start(binary=RELEASE, cwd=DATA, sanitizer=False):
            log = open(tmp_path / f"stderr{len(programs)}", "w+")
            binary = os.path.join(ROOT, "build-asan", "embervane") if sanitizer else binary
            env = {"ASAN_OPTIONS": "detect_leaks=0",  # Mesa's own allocations, not the program's
                   "UBSAN_OPTIONS": "print_stacktrace=1:halt_on_error=1"}
            programs.append(Program(x, binary, cwd, env, log))
            programs[-1].log = log
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


# The picture once two shots a third of a second apart agree: whatever was sent before has
# been drawn. Held particles still fade as their life runs down, a few hundred pixels a shot.
def settle(app):
    def still():
        first = app.shot()
        time.sleep(0.3)
        last = app.shot()
        return last if changed(first, last) < 500 else None
    return poll(still, 15, "still picture")


# Asks the window to close, as a window manager's close button does (there is none here),
# and returns the program's exit status.
def close(app):
    from Xlib import X, display, protocol
    server = display.Display(app.x.display)
    window = server.create_resource_object("window", int(app.window))
    window.send_event(protocol.event.ClientMessage(
        window=window, client_type=server.intern_atom("WM_PROTOCOLS"),
        data=(32, [server.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
    server.sync()
    server.close()
    return app.process.wait(30)
