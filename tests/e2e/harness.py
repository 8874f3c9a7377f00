"""Drives the real program under a private X server: start, find its window, send keys and
pointer events through xdotool, read frames through ImageMagick's import, close it the way a
user would. Python's standard library only; libX11 is reached through ctypes for the one thing
xdotool cannot do without a window manager (asking the window to close)."""

import ctypes
import math
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

TITLE = "Embervane 1.45 Mar 7, 2001"
WIDTH, HEIGHT = 640, 480

# The HUD count colours, by the count that first shows them.
CYAN = (0, 204, 255)
GREEN = (0, 255, 0)
YELLOW = (255, 255, 0)
ORANGE = (255, 127, 0)
RED = (255, 0, 0)
COUNT_COLOURS = {"cyan": CYAN, "green": GREEN, "yellow": YELLOW, "orange": ORANGE, "red": RED}
PLAIN_FLOOR = (0, 77, 102)

# HUD rows as image rows (top = 0) of a 480-pixel frame: the text sits in 10-pixel cells whose
# bottoms are 24, 12 and 0 pixels above the window's bottom edge.
COUNT_ROWS = (HEIGHT - 35, HEIGHT - 24)
RATE_ROWS = (HEIGHT - 23, HEIGHT - 12)
MODE_ROWS = (HEIGHT - 11, HEIGHT)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def poll(predicate, timeout, interval=0.05, what="condition"):
    """Calls predicate until it returns something true; its last value, or Failure."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


# ---------------------------------------------------------------------------------------------
# Frames


class Frame:
    """An RGB picture, rows from the top."""

    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        self.data = data

    @staticmethod
    def from_ppm(blob):
        # P6 header: magic, width, height, maxval, each followed by whitespace.
        check(blob[:2] == b"P6", f"screenshot is not a PPM ({len(blob)} bytes)")
        fields = []
        at = 0
        while len(fields) < 4 and at < len(blob):
            while blob[at:at + 1].isspace():
                at += 1
            if blob[at:at + 1] == b"#":
                at = blob.index(b"\n", at) + 1
                continue
            start = at
            while at < len(blob) and not blob[at:at + 1].isspace():
                at += 1
            fields.append(blob[start:at])
        at += 1
        check(len(fields) == 4 and fields[3] == b"255", "screenshot is not an 8-bit PPM")
        width, height = int(fields[1]), int(fields[2])
        data = blob[at:at + width * height * 3]
        check(len(data) == width * height * 3, "screenshot is truncated")
        return Frame(width, height, data)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def pixels(self, box):
        """Every pixel of box = (x0, y0, x1, y1), ends excluded."""
        x0, y0, x1, y1 = box
        d = self.data
        for y in range(y0, y1):
            row = (y * self.width) * 3
            for x in range(x0, x1):
                i = row + x * 3
                yield d[i], d[i + 1], d[i + 2]

    def count(self, box, test):
        return sum(1 for p in self.pixels(box) if test(p))

    def count_near(self, box, colour, tolerance):
        r0, g0, b0 = colour
        return self.count(box, lambda p: abs(p[0] - r0) <= tolerance and abs(p[1] - g0) <=
                          tolerance and abs(p[2] - b0) <= tolerance)

    def save_ppm(self, path):
        with open(path, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            out.write(self.data)


def differing(a, b, box, threshold=40):
    """How many pixels of box differ between two frames by more than threshold in a channel."""
    x0, y0, x1, y1 = box
    n = 0
    da, db = a.data, b.data
    w = a.width
    for y in range(y0, y1):
        row = y * w * 3
        for x in range(x0, x1):
            i = row + x * 3
            if (abs(da[i] - db[i]) > threshold or abs(da[i + 1] - db[i + 1]) > threshold or
                    abs(da[i + 2] - db[i + 2]) > threshold):
                n += 1
    return n


def area(box):
    return (box[2] - box[0]) * (box[3] - box[1])


def is_black(p, tolerance=8):
    return p[0] <= tolerance and p[1] <= tolerance and p[2] <= tolerance


def is_woodish(p):
    # The wood texture is brown to tan: red above green above blue, never dark.
    r, g, b = p
    return r >= 90 and r > g + 20 and g > b + 10


def colour_over_wood(p):
    """The HUD colour a pixel over the wood floor leans to, or None.

    Glyph edges are partly transparent, so a text pixel lies between the wood under it and the
    text colour. Wood is red above green above blue, green near two thirds of red and blue well
    above zero; each text colour pulls a pixel away from that in its own direction.
    """
    r, g, b = p
    if b > r + 30 and b > 100:
        return "cyan"
    if g > r + 30 and g > 100 and b < 0.7 * g:
        return "green"
    if r > 150 and g > 0.82 * r and b < 0.5 * g:
        return "yellow"
    if r > 150 and 0.45 * r <= g <= 0.65 * r and b < 0.22 * r:
        return "orange"
    if r > 150 and g < 0.42 * r and b < 0.42 * r:
        return "red"
    return None


def _over_plain(p, floor=PLAIN_FLOOR):
    """The same over the plain floor: the colour whose blend with the floor passes nearest."""
    if max(abs(p[c] - floor[c]) for c in range(3)) < 40:
        return None
    best, best_error = None, 1e9
    for name, rgb in COUNT_COLOURS.items():
        d = [rgb[c] - floor[c] for c in range(3)]
        e = [p[c] - floor[c] for c in range(3)]
        a = max(0.0, min(1.0, sum(d[c] * e[c] for c in range(3)) / sum(x * x for x in d)))
        error = sum((e[c] - a * d[c]) ** 2 for c in range(3))
        if error < best_error:
            best, best_error = name, error
    return best if best_error < 30 ** 2 else None


def count_colour(frame, plain_floor=False, box=(0, COUNT_ROWS[0], 200, COUNT_ROWS[1])):
    """The colour name of the count line, and the pixel tally behind it.

    The winner needs enough pixels and a clear lead: glyph edges of one colour can pass for
    another (a faint green edge looks yellowish over wood).
    """
    classify = _over_plain if plain_floor else colour_over_wood
    hits = {}
    for p in frame.pixels(box):
        name = classify(p)
        if name:
            hits[name] = hits.get(name, 0) + 1
    ranked = sorted(hits.items(), key=lambda kv: -kv[1]) + [(None, 0), (None, 0)]
    (best, n1), (_, n2) = ranked[0], ranked[1]
    return (best if n1 >= 60 and n1 >= 1.5 * n2 else None), hits


def is_text_white(p):
    # White glyph edges over wood or the plain floor: all channels close together and bright
    # enough, which neither floor ever is.
    return min(p) > 0.72 * max(p) and p[2] >= 140


def hud_text_pixels(frame):
    """Whitish glyph pixels in each of the three white HUD lines (rate, averages, mode)."""
    return (frame.count((0, RATE_ROWS[0], 215, RATE_ROWS[1]), is_text_white),
            frame.count((220, RATE_ROWS[0], 640, RATE_ROWS[1]), is_text_white),
            frame.count((0, MODE_ROWS[0], 640, MODE_ROWS[1]), is_text_white))


def project(point, yaw=35.0, pitch=0.0):
    """Where a scene point lands in the 640x480 frame for a camera turned by yaw and pitch
    (degrees) about the origin and then set back to (0, 40, 170), with a 90-degree vertical
    field of view: the program's camera without a roll."""
    x, y, z = point
    t = math.radians(yaw)
    x, z = x * math.cos(t) + z * math.sin(t), -x * math.sin(t) + z * math.cos(t)
    t = math.radians(pitch)
    y, z = y * math.cos(t) - z * math.sin(t), y * math.sin(t) + z * math.cos(t)
    x, y, z = x, y - 40, z - 170
    return (round((x / -z / (WIDTH / HEIGHT) + 1) * WIDTH / 2),
            round((1 - y / -z) * HEIGHT / 2))


# ---------------------------------------------------------------------------------------------
# Closing a window as a user would: without a window manager nobody else turns the title bar's
# close button into WM_DELETE_WINDOW, so the message is sent here.


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("message", _ClientMessage), ("pad", ctypes.c_long * 24)]


def send_delete_window(display, window):
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_Event)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    check(dpy, f"cannot open display {display}")
    try:
        event = _Event()
        event.message.type = 33  # ClientMessage
        event.message.window = window
        event.message.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        event.message.format = 32
        event.message.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        event.message.data[1] = 0  # CurrentTime
        x11.XSendEvent(dpy, window, 0, 0, ctypes.byref(event))
        x11.XFlush(dpy)
    finally:
        x11.XCloseDisplay(dpy)


# ---------------------------------------------------------------------------------------------
# X server and program


class XServer:
    """A private Xvfb on a display number it picks itself."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    break
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        finally:
            os.close(read_end)
        if not number.strip():
            self.process.kill()
            raise Failure("Xvfb did not start")
        self.name = ":" + number.decode().strip()

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        env["LIBGL_ALWAYS_SOFTWARE"] = "1"
        return env

    def run(self, *args, check_rc=True, timeout=30):
        result = subprocess.run(list(args), env=self.env(), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=timeout)
        if check_rc and result.returncode != 0:
            raise Failure(f"{' '.join(args[:3])}... failed: {result.stderr.decode().strip()}")
        return result.stdout.decode()

    def windows_named(self, title, visible=True):
        args = ["xdotool", "search"] + (["--onlyvisible"] if visible else []) + ["--name", title]
        out = self.run(*args, check_rc=False)
        ids = [int(line) for line in out.split()]
        # --name matches a pattern; only the exact title counts.
        return [w for w in ids if self.run("xdotool", "getwindowname", str(w),
                                           check_rc=False).rstrip("\n") == title]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class App:
    """One run of the program on an XServer."""

    def __init__(self, x, binary, cwd, extra_env=None, stderr_path=None):
        self.x = x
        env = x.env()
        env.update(extra_env or {})
        self.stderr_path = stderr_path or tempfile.mktemp(prefix="embervane-stderr-")
        self._stderr = open(self.stderr_path, "wb")
        self.process = subprocess.Popen([os.path.abspath(binary)], cwd=cwd, env=env,
                                        stdout=subprocess.DEVNULL, stderr=self._stderr,
                                        start_new_session=True)
        self.window = None

    @property
    def pid(self):
        return self.process.pid

    def alive(self):
        return self.process.poll() is None

    def find_window(self, timeout=30):
        def found():
            check(self.alive(), f"the program ended during start-up ({self.process.returncode})"
                  f": {self.stderr_text()[-2000:]}")
            ids = self.x.windows_named(TITLE)
            return ids[0] if ids else None

        self.window = poll(found, timeout, what="the program's window")
        self.x.run("xdotool", "windowmove", "--sync", str(self.window), "0", "0")
        self.focus()
        return self.window

    def focus(self):
        # Keys reach the window through the focus; the pointer stays out of it unless a case
        # moves it there, so a stray pointer cannot steer the camera.
        self.x.run("xdotool", "windowfocus", "--sync", str(self.window))

    def geometry(self, window=None):
        out = self.x.run("xwininfo", "-id", str(window or self.window))
        fields = {}
        for line in out.splitlines():
            if ":" in line:
                k, _, v = line.strip().partition(":")
                fields[k.strip()] = v.strip()
        return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                int(fields["Width"]), int(fields["Height"]), fields.get("Map State"))

    def shot(self):
        check(self.alive(), f"the program has ended ({self.process.returncode})")
        blob = subprocess.run(["import", "-window", str(self.window), "-depth", "8", "ppm:-"],
                              env=self.x.env(), stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=30).stdout
        frame = Frame.from_ppm(blob)
        check((frame.width, frame.height) == (WIDTH, HEIGHT),
              f"screenshot is {frame.width}x{frame.height}")
        return frame

    def keys(self, *names, delay_ms=0):
        check(self.alive(), f"the program has ended ({self.process.returncode})")
        # The pointer query at the end waits for the server's answer, so every key before it
        # has been handled by the server and queued for the program when this returns; a
        # screenshot taken afterwards cannot overtake them.
        self.x.run("xdotool", "key", "--clearmodifiers", "--delay", str(delay_ms), *names,
                   "getmouselocation")

    def key_repeat(self, name, times, batch=60):
        while times > 0:
            n = min(times, batch)
            self.keys(*([name] * n))
            times -= n

    def mouse_to(self, x, y):
        self.x.run("xdotool", "mousemove", "--sync", str(x), str(y))

    def drag(self, button, start, end, steps=12):
        self.mouse_to(*start)
        self.x.run("xdotool", "mousedown", str(button))
        for i in range(1, steps + 1):
            self.mouse_to(start[0] + (end[0] - start[0]) * i // steps,
                          start[1] + (end[1] - start[1]) * i // steps)
            time.sleep(0.01)
        self.x.run("xdotool", "mouseup", str(button))

    def park_pointer(self):
        self.mouse_to(900, 700)

    def menu_window(self):
        """The menu's window while it is shown, else None."""
        out = self.x.run("xdotool", "search", "--onlyvisible", "--name", "^freeglut menu$",
                         check_rc=False)
        ids = [int(w) for w in out.split()]
        return ids[0] if ids else None

    def choose_menu(self, entry, entries=8, at=(320, 150)):
        """Opens the menu with the right button at `at` and picks entry (0-based) from it."""
        self.mouse_to(*at)
        self.x.run("xdotool", "mousedown", "3")
        menu = poll(self.menu_window, 10, what="the menu to open")
        mx, my, mw, mh, _ = self.geometry(menu)
        # Entries share the height evenly, with the menu's border top and bottom
        # making at most a few pixels of difference.
        entry_h = mh / entries
        target = (mx + mw // 2, int(my + entry_h * (entry + 0.5)))
        self.mouse_to(*target)
        time.sleep(0.05)
        self.x.run("xdotool", "mouseup", "3")
        try:
            poll(lambda: self.menu_window() is None, 10, what="the menu to close")
        except Failure:
            # A release that missed every entry leaves the menu open; a click beside it
            # closes it, and the miss is reported.
            self.mouse_to(mx + mw + 20, my + mh + 20)
            self.x.run("xdotool", "click", "1")
            raise Failure(f"choosing entry {entry} at {target} left the menu "
                          f"{(mx, my, mw, mh)} open")
        return menu, (mx, my, mw, mh), target

    def close(self):
        send_delete_window(self.x.name, self.window)

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout} s")

    def stderr_text(self):
        self._stderr.flush()
        with open(self.stderr_path, "rb") as f:
            return f.read().decode(errors="replace")

    def rss_kib(self):
        with open(f"/proc/{self.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return None

    def stop(self):
        if self.alive():
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self._stderr.close()


class Session:
    """An X server with the program on it, both gone at exit."""

    def __init__(self, binary, cwd, extra_env=None):
        self.x = XServer()
        try:
            self.app = App(self.x, binary, cwd, extra_env)
            self.app.find_window()
        except BaseException:
            if hasattr(self, "app"):
                self.app.stop()
            self.x.stop()
            raise

    def __enter__(self):
        return self.app

    def __exit__(self, *exc):
        self.app.stop()
        self.x.stop()
        try:
            os.unlink(self.app.stderr_path)
        except OSError:
            pass
        return False


def data_copy(source, damage=None):
    """A temporary copy of the data folder; damage(name, bytes) -> bytes rewrites a file."""
    folder = tempfile.mkdtemp(prefix="embervane-data-")
    for name in ("font.tga", "wood.tga", "star.tga"):
        with open(os.path.join(source, name), "rb") as f:
            blob = f.read()
        if damage:
            blob = damage(name, blob)
        if blob is not None:
            with open(os.path.join(folder, name), "wb") as f:
                f.write(blob)
    return folder


def remove_tree(folder):
    shutil.rmtree(folder, ignore_errors=True)
