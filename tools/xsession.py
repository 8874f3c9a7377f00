#!/usr/bin/python3
"""A private X server and Embervane on it: the one way that the tests and the tools start Xvfb
(and, when asked, a window manager on it), find the program's window and take its picture.
Mesa's software renderer is forced, so nothing depends on a GPU, and a private server means no
other window can cover the program's or answer to its name.

    xsession.py run COMMAND [ARG...]      runs COMMAND on a private server; its exit status
    xsession.py shot OUT.png [SECONDS]    runs the program from data/ for SECONDS (4), saves a picture
    xsession.py menu OUT.png [windows]    opens the menu, saves its picture as it first shows; of
                                          the Windows build's program under Wine, if asked
"""

import os
import select
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
RELEASE = os.path.join(ROOT, "build", "embervane")
# The Windows build, and what runs it here: Wine, in a prefix of its own for each run.
WINDOWS = os.path.join(ROOT, "build-windows")
WINE = ["bash", os.path.join(ROOT, "tools", "wine-run.sh")]
# The window's title, which finds the program's window, as the build wrote it beside the program.
with open(os.path.join(ROOT, "build", "window-title.txt")) as title:
    TITLE = title.read().rstrip("\n")


def poll(predicate, timeout, what, interval=0.05):
    """Calls predicate until it returns something other than None or False, and returns that;
    raises after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value is not None and value is not False:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"no {what} within {timeout:g} s")
        time.sleep(interval)


class XServer:
    """Xvfb on a display number of its own choosing. -noreset: by default the server resets when
    its last client leaves, and a client that connects during the reset is dropped."""

    def __init__(self):
        self.manager = None
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        # The server writes the number and the newline apart, and dies if the pipe is closed
        # between the two: read up to the newline.
        number = b""
        while not number.endswith(b"\n") and select.select([read_end], [], [], 20)[0]:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        number = number.decode().strip()
        if not number:
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        # Always the same renderer, llvmpipe: the golden frames were drawn by it.
        self.env = dict(os.environ, DISPLAY=self.display, LIBGL_ALWAYS_SOFTWARE="1",
                        GALLIUM_DRIVER="llvmpipe")

    # A command's output; a failing command raises, unless check is False (a search that finds
    # nothing fails), and none may hang the caller.
    def run(self, *args, check=True):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, check=check,
                              timeout=60).stdout

    def start_window_manager(self):
        """Starts openbox on this server and returns once it manages windows: it names itself
        on the root window."""
        self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        poll(lambda: "window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), 30,
             "window manager")

    def stop(self):
        for process in filter(None, (self.manager, self.process)):
            process.terminate()
            process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class Program:
    """One run of a program binary on a server, with its window found where it was put (by the
    window manager, if one runs) and focused, so that keys reach it."""

    def __init__(self, x, binary=RELEASE, cwd=DATA, env=None, stderr=subprocess.DEVNULL,
                 stdout=None, wrapper=()):
        """wrapper: a command that runs the program, such as a profiler, before its path."""
        self.x = x
        self.stderr, self.stdout = stderr, stdout
        self.wrapped = bool(wrapper)
        self.process = subprocess.Popen([*wrapper, os.path.abspath(binary)], cwd=cwd, stderr=stderr,
                                        stdout=stdout, env=dict(x.env, **(env or {})),
                                        start_new_session=True)
        try:
            self.window = poll(self.find_window, 30, "window")
            self.x.run("xdotool", "windowfocus", "--sync", self.window)
        except BaseException:
            self.stop()
            raise

    def find_window(self):
        self.check_running()
        # --name matches a pattern; only the exact title counts.
        for window in self.x.run("xdotool", "search", "--onlyvisible", "--name", TITLE,
                                 check=False).split():
            if self.x.run("xdotool", "getwindowname", window, check=False).rstrip("\n") == TITLE:
                return window
        return None

    def check_running(self):
        if self.process.poll() is not None:
            report = open(self.stderr.name).read() if hasattr(self.stderr, "name") else ""
            raise RuntimeError(f"the program ended with status {self.process.returncode}\n{report}")

    def shot(self, path="ppm:-", window=None):
        """Saves the picture of the window (or of another, such as the menu) to path, or returns
        it as rows of RGB pixels (numpy)."""
        self.check_running()
        picture = subprocess.run(["import", "-window", window or self.window, path], env=self.x.env,
                                 capture_output=True, check=True, timeout=60).stdout
        if path != "ppm:-":
            return None
        import io
        import numpy
        from PIL import Image
        return numpy.asarray(Image.open(io.BytesIO(picture)).convert("RGB"), dtype=int)

    def menus(self):
        return self.x.run("xdotool", "search", "--onlyvisible", "--name", "^freeglut menu$",
                          check=False).split()

    def move_to(self, at):
        """Puts the pointer at `at` in the window's own pixels."""
        self.x.run("xdotool", "mousemove", "--window", self.window, "--sync", *map(str, at))

    def open_menu(self, at=(320, 150), click=False):
        """Opens the menu at `at` with the right button, held down or clicked; returns its
        window once it shows."""
        self.move_to(at)
        self.x.run("xdotool", "click" if click else "mousedown", "3")
        return poll(lambda: self.menus() or None, 10, "menu")[0]

    def geometry(self, window=None):
        """Where a window (the program's by default) lies on the screen: X, Y, WIDTH, HEIGHT.
        (xdotool's position of a framed window is off by the frame.)"""
        info = dict(line.strip().split(": ", 1) for line in self.x.run(
            "xwininfo", "-id", window or self.window).splitlines() if ": " in line)
        return {key: int(info[name]) for key, name in [("X", "Absolute upper-left X"), (
            "Y", "Absolute upper-left Y"), ("WIDTH", "Width"), ("HEIGHT", "Height")]}

    def entry_point(self, menu, entry):
        """The screen point over the menu's entry (from 0, of eight evenly spaced)."""
        box = self.geometry(menu)
        return box["X"] + 40, box["Y"] + box["HEIGHT"] * (2 * entry + 1) // 16

    def point_at(self, menu, entry):
        self.x.run("xdotool", "mousemove", "--sync", *map(str, self.entry_point(menu, entry)))

    def keys(self, *names):
        # The pointer query after the keys waits for the server's answer: every key has been
        # queued for the program by the time this returns. The program may not have drawn
        # what they do yet: callers wait for the picture they expect.
        self.x.run("xdotool", "key", "--clearmodifiers", "--delay", "0", *names,
                   "getmouselocation")

    def close(self, through_manager=False):
        """Asks the window to close as a window manager would, or through the one running (as its
        close button does: it asks the manager, which asks the program)."""
        from Xlib import X, display, protocol
        server = display.Display(self.x.display)
        window = server.create_resource_object("window", int(self.window))
        if through_manager:
            server.screen().root.send_event(protocol.event.ClientMessage(
                window=window, client_type=server.intern_atom("_NET_CLOSE_WINDOW"),
                data=(32, [X.CurrentTime, 2, 0, 0, 0])), X.SubstructureRedirectMask)
        else:
            window.send_event(protocol.event.ClientMessage(
                window=window, client_type=server.intern_atom("WM_PROTOCOLS"),
                data=(32, [server.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
        server.sync()
        server.close()

    def stop(self):
        if self.process.poll() is None and self.wrapped:
            # A wrapper may have its own to clean up: asked first, then told.
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                pass
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait()


def main(args):
    if len(args) >= 2 and args[0] == "run":
        with XServer() as x:
            return subprocess.run(args[1:], env=x.env).returncode
    windows = args[:1] == ["menu"] and args[2:] == ["windows"]
    if (len(args) in (2, 3) and args[0] == "shot") or (len(args) - windows == 2 and
                                                        args[0] == "menu"):
        with XServer() as x:
            program = Program(x, os.path.join(WINDOWS, "embervane.exe"), wrapper=WINE) if (
                windows) else Program(x)
            try:
                if args[0] == "menu":  # as it first opens, the pointer at its corner
                    menu = program.open_menu()
                    poll(lambda: (program.shot(window=menu) == program.shot(window=menu)).all(),
                         10, "a steady menu")
                    program.shot(os.path.abspath(args[1]), menu)
                else:
                    time.sleep(float(args[2]) if len(args) == 3 else 4)
                    program.shot(os.path.abspath(args[1]))
            finally:
                program.stop()
            return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
