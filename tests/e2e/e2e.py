#!/usr/bin/env python3
"""End-to-end cases for the real program: each starts it on a private X server, drives it with
keys and the pointer and judges what it draws from screenshots.

    e2e.py --release BIN --sanitizer BIN [--only NAME ...] [--storm-seconds S] [--list]
"""

import argparse
import os
import random
import sys
import tempfile
import time
import traceback

sys.dont_write_bytecode = True  # no __pycache__ left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import (COUNT_ROWS, HEIGHT, MODE_ROWS, PLAIN_FLOOR, TITLE, WIDTH,  # noqa: E402
                     Failure, Session, area, check, colour_over_wood, count_colour,
                     data_copy, differing, hud_text_pixels, is_black, is_text_white, is_woodish,
                     poll, project, remove_tree)

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.normpath(os.path.join(HERE, "..", "..", "data"))

FULL = (0, 0, WIDTH, HEIGHT)
SCENE = (0, 0, WIDTH, COUNT_ROWS[0] - 2)  # everything above the HUD
FLOOR = (0, 330, WIDTH, COUNT_ROWS[0] - 2)  # floor only, for the start-up camera
SKY = (0, 0, WIDTH, 250)
SANITIZER_ENV = {"ASAN_OPTIONS": "detect_leaks=0:abort_on_error=0",
                 "UBSAN_OPTIONS": "halt_on_error=1:print_stacktrace=1"}
SANITIZER_MARKS = ("AddressSanitizer", "UndefinedBehaviorSanitizer", "runtime error:",
                   "LeakSanitizer", "SUMMARY: ")
# The four corners that a burst sends particles to, at launch height.
BURST_CORNERS = [(-80, -8, -80), (80, -8, -80), (80, -8, 80), (-80, -8, 80)]

CASES = []


def case(function):
    CASES.append(function)
    return function


class Context:
    def __init__(self, release, sanitizer, artefacts, storm_seconds):
        self.release = release
        self.sanitizer = sanitizer
        self.artefacts = artefacts
        self.storm_seconds = storm_seconds
        self.last_frame = None
        self.notes = []


# ---------------------------------------------------------------------------------------------
# Helpers shared by the cases


def shot(ctx, app):
    ctx.last_frame = app.shot()
    return ctx.last_frame


def wait_frame(ctx, app, test, timeout=15, what="the expected picture"):
    """Screenshots until test(frame) holds; the frame, or Failure naming what was awaited."""
    last = {}

    def attempt():
        frame = shot(ctx, app)
        result = test(frame)
        last["result"] = result
        return frame if result is True or (result and not isinstance(result, str)) else None

    try:
        return poll(attempt, timeout, interval=0.05, what=what)
    except Failure as failure:
        detail = last.get("result")
        raise Failure(f"{failure}" + (f" ({detail})" if isinstance(detail, str) else ""))


def settle(ctx, app, changes=2, timeout=6):
    """Waits until `changes` newer frames have been drawn, so that everything sent before has
    been handled: the first change may still be a frame that began before the input arrived.
    A still picture (frozen particles) may not change; then the time-out just ends the wait."""
    previous = shot(ctx, app)
    deadline = time.monotonic() + timeout
    seen = 0
    while seen < changes and time.monotonic() < deadline:
        frame = shot(ctx, app)
        if differing(previous, frame, FULL, threshold=8) > 0:
            seen += 1
            previous = frame
    return previous


def motion(ctx, app, box=SCENE, gap=0.5):
    """Pixels of box that change over `gap` seconds with no input."""
    a = shot(ctx, app)
    time.sleep(gap)
    b = shot(ctx, app)
    return differing(a, b, box)


def woodish_share(frame, box=FLOOR):
    return frame.count(box, is_woodish) / area(box)


def plain_share(frame, box=FLOOR):
    return frame.count_near(box, PLAIN_FLOOR, 4) / area(box)


def bright_in_sky(frame):
    return frame.count(SKY, lambda p: p[0] + p[1] + p[2] > 150)


def outside_quarter_lit(frame):
    """Lit pixels outside the lower-left 320x240 quarter."""
    right = frame.count((WIDTH // 2, 0, WIDTH, HEIGHT), lambda p: not is_black(p))
    top = frame.count((0, 0, WIDTH // 2, HEIGHT // 2), lambda p: not is_black(p))
    return right + top


def quarter_drawn(frame):
    """How much of the floor's place in the lower-left quarter shows wood (start-up camera)."""
    return woodish_share(frame, (0, HEIGHT // 2 + FLOOR[1] // 2, WIDTH // 2, COUNT_ROWS[0] - 2))


MODE_TAIL = (360, MODE_ROWS[0], WIDTH, MODE_ROWS[1])  # only the free-mode line reaches here


def mode_line_tail(frame):
    """White text right of x=360 on the mode line."""
    return frame.count(MODE_TAIL, is_text_white)


def steady_mode_tail(ctx, app, frames=3):
    """Like mode_line_tail, but only pixels white in several successive frames count: with a
    hundred thousand particles, sparkles on the floor pass for white text, but they move
    (the benchmark camera orbits) while the text stays put."""
    steady = None
    frame = None
    for _ in range(frames):
        if frame is None:
            frame = shot(ctx, app)
        else:
            previous = frame
            frame = poll(lambda: (lambda f: f if differing(previous, f, FULL) > 20 else None)(
                shot(ctx, app)), 30, interval=0.02, what="a new frame")
        white = {(x, y) for y in range(MODE_TAIL[1], MODE_TAIL[3])
                 for x in range(MODE_TAIL[0], MODE_TAIL[2]) if is_text_white(frame.pixel(x, y))}
        steady = white if steady is None else steady & white
    return len(steady), frame


def expect_benchmark_hud(ctx, app, colour, timeout=15):
    """Waits for the benchmark mode line (short: no steady text in the free line's tail) and
    the count line in colour; the last frame."""
    last = {}

    def attempt():
        tail, frame = steady_mode_tail(ctx, app)
        name = count_colour(frame)[0]
        last["state"] = f"count line {name}, {tail} steady pixels in the mode line's tail"
        return frame if name == colour and tail < 5 else None
    try:
        return poll(attempt, timeout, interval=0.05, what=f"benchmark mode with a {colour} count")
    except Failure as failure:
        raise Failure(f"{failure} ({last.get('state')})")


def glyph_pixels(frame, box=(0, COUNT_ROWS[0], 60, COUNT_ROWS[1])):
    """Where the count's digits are: the pixels that read as any count colour. Orange text
    differs from the wood by little in any one channel, so a plain difference misses it."""
    found = set()
    for y in range(box[1], box[3]):
        for x in range(box[0], box[2]):
            if colour_over_wood(frame.pixel(x, y)):
                found.add((x, y))
    return found


def expect_colour(ctx, app, colour, plain_floor=False, timeout=10):
    def test(frame):
        name, hits = count_colour(frame, plain_floor)
        return True if name == colour else f"count line reads {name} {hits}"
    return wait_frame(ctx, app, test, timeout, what=f"a {colour} count line")


def corner_boxes(yaw=35.0, pitch=0.0, rise=0):
    """Small boxes around where the burst corners land on screen, reaching `rise` pixels up."""
    boxes = []
    for corner in BURST_CORNERS:
        x, y = project(corner, yaw, pitch)
        boxes.append((max(0, x - 14), max(0, y - 10 - rise), min(WIDTH, x + 15),
                      min(COUNT_ROWS[0] - 2, y + 8)))
    return boxes


def new_light(before, after, box):
    """Pixels of box lit by particles that were not lit before: much brighter than before and
    with red near full, as the orange of a launch added onto the sky or the floor makes them."""
    n = 0
    for y in range(box[1], box[3]):
        for x in range(box[0], box[2]):
            p, q = after.pixel(x, y), before.pixel(x, y)
            if p[0] >= 200 and p[0] + p[1] + p[2] >= q[0] + q[1] + q[2] + 150:
                n += 1
    return n


def watch_corners(ctx, app, before, timeout=4, need=100):
    """Watches for light at all four burst corners; the plumes rise out of view within a second
    or two, so each corner counts once any frame has shown it lit. The watch is kept short:
    later, particles falling back from any plume scatter light over every corner."""
    boxes = corner_boxes(rise=150)
    best = [0] * len(boxes)

    def lit(frame):
        for i, box in enumerate(boxes):
            best[i] = max(best[i], new_light(before, frame, box))
        return min(best) >= need or f"most new light seen at the corners: {best}"
    wait_frame(ctx, app, lit, timeout, what="light at the four burst corners")
    return best


def assert_clean_stderr(app):
    text = app.stderr_text()
    for mark in SANITIZER_MARKS:
        check(mark not in text, f"sanitizer report in stderr:\n{text[-3000:]}")


def close_and_expect_zero(app, timeout=20):
    app.close()
    rc = app.wait_exit(timeout)
    check(rc == 0, f"exit status {rc} after closing the window; stderr:\n"
          f"{app.stderr_text()[-2000:]}")


def key_reshapes(ctx, app):
    """The "1" key shrinks the picture to the lower-left quarter and "2" brings it back."""
    app.keys("1")
    wait_frame(ctx, app, lambda f: outside_quarter_lit(f) == 0 and (
               f.count((0, HEIGHT // 2, WIDTH // 2, HEIGHT), lambda p: not is_black(p)) > 20000)
               or f"{outside_quarter_lit(f)} lit pixels outside the quarter",
               what="the quarter-size picture")
    app.keys("2")
    wait_frame(ctx, app, lambda f: f.count((WIDTH // 2, 300, WIDTH, 430),
                                           lambda p: not is_black(p)) > 20000,
               what="the full-size picture again")


# ---------------------------------------------------------------------------------------------
# Cases


@case
def start_up(ctx):
    with Session(ctx.release, DATA) as app:
        ids = app.x.windows_named(TITLE)
        check(len(ids) == 1, f"{len(ids)} windows titled {TITLE!r}")
        named = app.x.run("xdotool", "search", "--onlyvisible", "--name", ".", check_rc=False)
        check(len(named.split()) == 1, f"other visible windows: {named.split()}")
        x, y, w, h, state = app.geometry()
        check((w, h) == (WIDTH, HEIGHT), f"window is {w}x{h}")
        check(state == "IsViewable", f"window is {state}")

        def test(f):
            colour, hits = count_colour(f)
            rate, averages, mode = hud_text_pixels(f)
            problems = []
            if woodish_share(f) < 0.6:
                problems.append(f"floor only {woodish_share(f):.2f} wood")
            if bright_in_sky(f) < 200:
                problems.append(f"{bright_in_sky(f)} particle pixels above the floor")
            if colour != "yellow":
                problems.append(f"count line {colour} {hits}")
            if rate < 50 or averages < 80 or mode < 150 or mode_line_tail(f) < 40:
                problems.append(f"white HUD text {rate}/{averages}/{mode}/{mode_line_tail(f)}")
            return "; ".join(problems) or True
        wait_frame(ctx, app, test, what="floor, particles and HUD")
        moving = motion(ctx, app)
        check(moving > 1000, f"only {moving} pixels change in half a second")


@case
def count_keys(ctx):
    # Each colour boundary is passed one press at a time, so the exact step (500) and the exact
    # limits (500 and 120000) are checked: any other step or limit lands on another colour.
    with Session(ctx.release, DATA) as app:
        expect_colour(ctx, app, "yellow")
        steps = [("minus", 16, "yellow"),   # 24000
                 ("minus", 1, "green"),     # 23500
                 ("minus", 39, "green"),    # 4000
                 ("minus", 1, "cyan"),      # 3500
                 ("minus", 100, "cyan"),    # held at 500
                 ("plus", 6, "cyan"),       # 3500
                 ("plus", 1, "green"),      # 4000
                 ("plus", 40, "yellow"),    # 24000
                 ("plus", 47, "yellow"),    # 47500
                 ("plus", 1, "orange"),     # 48000
                 ("plus", 31, "orange"),    # 63500
                 ("plus", 1, "red"),        # 64000
                 ("plus", 200, "red"),      # held at 120000
                 ("minus", 112, "red"),     # 64000
                 ("minus", 1, "orange")]    # 63500
        previous = shot(ctx, app)
        for key, times, colour in steps:
            app.key_repeat(key, times)
            settle(ctx, app)
            frame = expect_colour(ctx, app, colour)
            digits = len(glyph_pixels(previous) ^ glyph_pixels(frame))
            check(digits >= 20,
                  f"the count's digits did not change after {times} x {key}")
            previous = frame


@case
def benchmark_mode(ctx):
    with Session(ctx.release, DATA) as app:
        app.key_repeat("plus", 64)
        expect_colour(ctx, app, "red")  # 64000
        app.keys("f")
        settle(ctx, app)
        still = motion(ctx, app)
        check(still < 0.01 * area(SCENE), f"frozen scene still changes ({still} pixels)")

        app.keys("n")
        expect_benchmark_hud(ctx, app, "yellow")
        # Particles are frozen: only the camera can move the picture now.
        orbit = motion(ctx, app)
        check(orbit > 0.1 * area(SCENE), f"no orbit: {orbit} pixels change in 0.5 s")
        orbit_again = motion(ctx, app)
        check(orbit_again > 0.1 * area(SCENE), f"the orbit stopped ({orbit_again})")

        app.key_repeat("minus", 20)  # 22000, inside benchmark mode
        expect_colour(ctx, app, "green")
        app.keys("n")
        wait_frame(ctx, app, lambda f: (count_colour(f)[0] == "red" and
                                        mode_line_tail(f) >= 40) or
                   f"count {count_colour(f)[0]}, mode line tail {mode_line_tail(f)}",
                   what="free mode with the count from before (64000)")
        app.keys("f")  # a fresh freeze, so only a still-turning camera could move the picture
        settle(ctx, app)
        still = motion(ctx, app)
        check(still < 0.01 * area(SCENE), f"the camera still turns in free mode ({still})")


@case
def effect_keys(ctx):
    with Session(ctx.release, DATA) as app:
        expect_colour(ctx, app, "yellow")
        moving = motion(ctx, app)
        check(moving > 1000, f"only {moving} pixels change in half a second")
        app.keys("f")
        settle(ctx, app)
        frozen = motion(ctx, app, gap=0.8)
        check(frozen < 0.01 * area(SCENE) and frozen * 5 < moving,
              f"after F {frozen} pixels still change ({moving} before)")

        app.keys("r")
        settle(ctx, app)
        time.sleep(1)
        before = shot(ctx, app)
        app.keys("b")
        ctx.notes.append(f"burst: most new light at the corners {watch_corners(ctx, app, before)}")

        # Held by F, the burst's particles stay above the floor; R sends them all back to the
        # centre, from where they spray out again.
        app.keys("f")
        settle(ctx, app)
        held = shot(ctx, app)
        still = motion(ctx, app, gap=0.6)
        check(still < 0.01 * area(SCENE), f"frozen burst still changes ({still})")
        app.keys("r")
        emitter = project((0, -8, 0))
        box = (emitter[0] - 40, emitter[1] - 150, emitter[0] + 40, emitter[1] + 8)
        wait_frame(ctx, app, lambda f: new_light(held, f, box) >= 30 or
                   f"new light above the centre {new_light(held, f, box)}",
                   what="particles relaunched from the centre")
        moving = motion(ctx, app)
        check(moving > 1000, f"R left the particles still ({moving})")

        for key in ("c", "g", "h", "C", "G", "H"):
            app.keys(key)
            settle(ctx, app)
            moving = motion(ctx, app, gap=0.3)
            check(moving > 200, f"after {key!r} the picture stands still ({moving})")
        frame = expect_colour(ctx, app, "yellow")
        check(min(hud_text_pixels(frame)) > 40, f"HUD text gone: {hud_text_pixels(frame)}")
        check(app.alive(), "the program ended")


@case
def viewport_keys(ctx):
    with Session(ctx.release, DATA) as app:
        expect_colour(ctx, app, "yellow")
        app.keys("1")
        frame = wait_frame(ctx, app, lambda f: outside_quarter_lit(f) == 0 or
                           f"{outside_quarter_lit(f)} lit pixels outside the quarter",
                           what="black outside the lower-left quarter")
        check(quarter_drawn(frame) > 0.6, f"no floor in the quarter ({quarter_drawn(frame):.2f})")
        check(count_colour(frame)[0] == "yellow", "no count line in the quarter")
        # Still drawing there, and still black around it a while later.
        time.sleep(0.5)
        later = shot(ctx, app)
        check(outside_quarter_lit(later) == 0, "something drawn outside the quarter")
        check(differing(frame, later, (0, 240, 320, 480)) > 100, "the quarter stands still")

        app.keys("2")
        frame = wait_frame(ctx, app, lambda f: woodish_share(f) > 0.6 or
                           f"floor {woodish_share(f):.2f} wood", what="the full-size floor")
        rate, averages, mode = hud_text_pixels(frame)
        check(averages > 80 and mode_line_tail(frame) >= 40, "HUD right half missing after 2")


@case
def mouse(ctx):
    with Session(ctx.release, DATA) as app:
        expect_colour(ctx, app, "yellow")
        time.sleep(1)
        app.keys("f")
        settle(ctx, app)
        start = shot(ctx, app)
        check(motion(ctx, app) < 0.01 * area(SCENE), "frozen scene still changes")

        # 160 pixels across turn the camera by 90 degrees, 40 down tilt it by 30.
        app.drag(1, (200, 200), (360, 240))
        app.park_pointer()
        settle(ctx, app)
        turned = shot(ctx, app)
        changed = differing(start, turned, SCENE)
        check(changed > 0.1 * area(SCENE), f"left drag changed only {changed} pixels")
        check(abs(woodish_share(turned, SCENE) - woodish_share(start, SCENE)) > 0.05,
              "the floor covers as much of the picture as before the drag")

        # The middle button drags back by the same amount: the first picture again.
        app.drag(2, (360, 240), (200, 200))
        app.park_pointer()
        settle(ctx, app)
        back = shot(ctx, app)
        check(differing(start, back, SCENE) < 0.02 * area(SCENE),
              f"middle drag back did not restore the view ({differing(start, back, SCENE)})")

        # The menu's "Burst [B]", the third entry, must burst as the key does.
        app.keys("r")
        settle(ctx, app)
        time.sleep(1)
        before = shot(ctx, app)
        menu, geometry, target = app.choose_menu(2)
        app.park_pointer()
        best = watch_corners(ctx, app, before)
        ctx.notes.append(f"menu {geometry}, clicked {target}; most new light at the corners "
                         f"{best}")


@case
def missing_images(ctx):
    folder = tempfile.mkdtemp(prefix="embervane-empty-")
    try:
        with Session(ctx.release, folder) as app:
            wait_frame(ctx, app, lambda f: (plain_share(f) > 0.6 and woodish_share(f) < 0.05)
                       or f"floor {plain_share(f):.2f} plain, {woodish_share(f):.2f} wood",
                       what="a plain floor")
            check(motion(ctx, app) > 1000, "the picture stands still")
            key_reshapes(ctx, app)
            close_and_expect_zero(app)
    finally:
        remove_tree(folder)


@case
def closing_the_window(ctx):
    with Session(ctx.release, DATA) as app:
        expect_colour(ctx, app, "yellow")
        app.keys("plus", "b", "1")  # some state, so an exit path that walks it is exercised
        settle(ctx, app)
        close_and_expect_zero(app)
        check(not app.x.windows_named(TITLE, visible=False), "the window outlived the program")


def _damaged_case(file_name, how):
    def damage(name, blob):
        if name != file_name:
            return blob
        if how == "half":
            return blob[:len(blob) // 2]
        header = bytearray(blob)
        header[12:16] = b"\xff\xff\xff\xff"  # width and height 65535
        return bytes(header)

    def run(ctx):
        folder = data_copy(DATA, damage)
        try:
            with Session(ctx.sanitizer, folder, SANITIZER_ENV) as app:
                def test(f):
                    problems = []
                    if file_name == "wood.tga":
                        if plain_share(f) < 0.6:
                            problems.append(f"floor {plain_share(f):.2f} plain")
                        colour = count_colour(f, plain_floor=True)[0]
                    else:
                        if woodish_share(f) < 0.6:
                            problems.append(f"floor {woodish_share(f):.2f} wood")
                        colour = count_colour(f)[0]
                    if file_name == "font.tga":
                        # Without glyphs the text is drawn as plain blocks of its colour.
                        solid = f.count_near((0, COUNT_ROWS[0], 150, COUNT_ROWS[1]),
                                             (255, 255, 0), 12)
                        if solid < 800:
                            problems.append(f"{solid} solid yellow pixels on the count line")
                    elif colour != "yellow":
                        problems.append(f"count line {colour}")
                    if bright_in_sky(f) < 200:
                        problems.append(f"{bright_in_sky(f)} particle pixels")
                    return "; ".join(problems) or True
                wait_frame(ctx, app, test, timeout=30, what=f"the scene without {file_name}")
                check(motion(ctx, app) > 500, "the picture stands still")
                key_reshapes(ctx, app)
                close_and_expect_zero(app)
                assert_clean_stderr(app)
        finally:
            remove_tree(folder)

    run.__name__ = f"damaged_{file_name.split('.')[0]}_{how}"
    return run


for _file in ("font.tga", "wood.tga", "star.tga"):
    for _how in ("half", "huge"):
        case(_damaged_case(_file, _how))


@case
def sanitizer_storm(ctx):
    seed = int(os.environ.get("E2E_SEED", time.time_ns() % 1_000_000))
    rng = random.Random(seed)
    ctx.notes.append(f"storm seed {seed} (E2E_SEED repeats it)")
    common = ["plus", "minus", "1", "2", "b", "c", "f", "g", "h", "n", "r",
              "B", "C", "F", "G", "H", "N", "R"]
    others = (list("adeijklmopqstuvwxyzAQWZ0345789") +
              ["space", "Return", "Tab", "BackSpace", "Escape", "Delete", "period", "comma",
               "slash", "equal", "underscore", "asterisk", "Up", "Down", "Left", "Right",
               "Home", "End", "Prior", "Next", "Insert", "F1", "F5", "F12"])
    keys_sent = drags = menus = 0
    with Session(ctx.sanitizer, DATA, SANITIZER_ENV) as app:
        expect_colour(ctx, app, "yellow", timeout=30)
        started = time.monotonic()
        while time.monotonic() - started < ctx.storm_seconds:
            roll = rng.random()
            if roll < 0.1:
                x0, y0 = rng.randrange(10, 630), rng.randrange(10, 470)
                x1, y1 = rng.randrange(10, 630), rng.randrange(10, 470)
                app.drag(rng.choice((1, 2)), (x0, y0), (x1, y1), steps=rng.randrange(2, 10))
                drags += 1
            elif roll < 0.16:
                app.choose_menu(rng.randrange(8), at=(rng.randrange(20, 380),
                                                      rng.randrange(20, 260)))
                menus += 1
            else:
                batch = [rng.choice(common) if rng.random() < 0.75 else rng.choice(others)
                         for _ in range(rng.randrange(5, 40))]
                app.keys(*batch)
                keys_sent += len(batch)
            check(app.alive(), f"the program ended ({app.process.returncode}):\n"
                  f"{app.stderr_text()[-3000:]}")
            time.sleep(rng.random() * 0.15)
        duration = time.monotonic() - started
        app.park_pointer()
        # Still answering keys once the queue has drained, and still drawing new frames.
        app.keys("1")
        wait_frame(ctx, app, lambda f: outside_quarter_lit(f) == 0 or "not the quarter yet",
                   timeout=120, what="the quarter-size picture after the storm")
        app.keys("2", "r")
        wait_frame(ctx, app, lambda f: outside_quarter_lit(f) > 10000 or "not full-size yet",
                   timeout=60, what="the full-size picture after the storm")
        # The storm may leave the camera facing away from every particle, or the particles
        # frozen; benchmark mode turns the camera back and keeps it moving, so new frames show.
        # "N" toggles, so it takes a second press when the storm left benchmark mode on.
        for _ in range(2):
            app.keys("n")
            settle(ctx, app)
            if mode_line_tail(shot(ctx, app)) < 40:
                break
        frame = expect_benchmark_hud(ctx, app, "yellow", timeout=60)
        watch_started = time.monotonic()
        changes = 0
        for _ in range(5):
            frame = poll(lambda: (lambda f: f if differing(frame, f, SCENE) > 50 else None)(
                shot(ctx, app)), 60, interval=0.1, what="a new frame after the storm")
            changes += 1
        watched = time.monotonic() - watch_started
        check(max(hud_text_pixels(frame)) > 40, "no HUD after the storm")
        assert_clean_stderr(app)
        close_and_expect_zero(app, timeout=60)
        assert_clean_stderr(app)
    ctx.notes.append(f"storm: {keys_sent} keys, {drags} drags, {menus} menu "
                     f"choices in {duration:.0f} s; afterwards {changes} new frames in "
                     f"{watched:.1f} s, exit status 0, no sanitizer report")


# ---------------------------------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--release", required=True)
    parser.add_argument("--sanitizer", required=True)
    parser.add_argument("--only", nargs="*", default=None, help="case names to run")
    parser.add_argument("--storm-seconds", type=float, default=60)
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()

    if args.list:
        print("\n".join(c.__name__ for c in CASES))
        return 0
    for binary in (args.release, args.sanitizer):
        if not os.access(binary, os.X_OK):
            print(f"not an executable: {binary}", file=sys.stderr)
            return 2
    ctx = Context(args.release, args.sanitizer, os.environ.get("E2E_ARTEFACTS"),
                  args.storm_seconds)
    unknown = set(args.only or ()) - {c.__name__ for c in CASES}
    if unknown:
        print(f"no such case: {', '.join(sorted(unknown))} (--list names them)", file=sys.stderr)
        return 2
    selected = [c for c in CASES if args.only is None or c.__name__ in args.only]
    passed = failed = 0
    for function in selected:
        name = function.__name__
        ctx.last_frame = None
        ctx.notes = []
        started = time.monotonic()
        try:
            function(ctx)
        except Exception as error:  # one case's fault must not stop the others
            failed += 1
            reason = str(error) if isinstance(error, Failure) else traceback.format_exc()
            saved = ""
            if ctx.last_frame is not None:
                # Made on the first failure only, so passing runs leave nothing behind.
                ctx.artefacts = ctx.artefacts or tempfile.mkdtemp(prefix="embervane-e2e-")
                os.makedirs(ctx.artefacts, exist_ok=True)
                path = os.path.join(ctx.artefacts, f"{name}.ppm")
                ctx.last_frame.save_ppm(path)
                saved = f" [last frame: {path}]"
            print(f"FAIL {name} ({time.monotonic() - started:.1f} s): {reason}{saved}",
                  flush=True)
        else:
            passed += 1
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
        for note in ctx.notes:
            print(f"     {note}", flush=True)
    print(f"{passed} passed, {failed} failed", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
