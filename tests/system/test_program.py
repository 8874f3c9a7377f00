# The program as a user drives it: under a window manager, with its menu, damaged pictures, a
# storm of input, and benchmark runs.

import os
import random
import re
import shutil
import signal
import subprocess
import time

import numpy
import pytest

from PIL import Image
from Xlib import X, display

from conftest import (DATA, GOLDEN, OUTLIERS, PLAIN, ROOT, SKY, WINDOW_TITLE, XServer, changed,
                      check_against_reference, close_cleanly, plain, poll, settle, wait_for)

# A drag between two points of the window, in its own pixels.
def drag(app, button, start, end, steps=12):
    app.move_to(start)
    app.x.run("xdotool", "mousedown", str(button))
    for i in range(1, steps + 1):
        app.move_to([a + (b - a) * i // steps for a, b in zip(start, end)])
    app.x.run("xdotool", "mouseup", str(button), "mousemove", "1020", "0")


# Opens the menu at `at` (a press held, or a click), unless it is open already (`menu`), chooses
# entry (from 0) by releasing over it (or clicking it), sends the keys `then` at once and waits for
# the menu to close.
def choose(app, entry, at=(320, 150), then=(), click=False, menu=None):
    menu = menu or app.open_menu(at, click)
    app.point_at(menu, entry)
    app.x.run("xdotool", "sleep", "0.05", "click" if click else "mouseup", "1" if click else "3",
              *[item for key in then for item in ("key", key)], "mousemove", "1020", "0")
    poll(lambda: not app.menus(), 10, "the menu to close")


# Once the scene is still, opens the menu at `at` with the right button held, and takes pictures
# of the screen where it opens from the press on, as fast as the server answers, until the menu
# shows whole, the first while the program is stopped; each shows what lay there before or the
# whole menu (`reference`). Returns the menu's window, the button still held.
def open_menu_watching_its_first_frames(app, at, folder, reference="menu"):
    wanted = numpy.asarray(Image.open(f"{GOLDEN}/{reference}.png").convert("RGB"), dtype=int)
    height, width = wanted.shape[:2]
    server = display.Display(app.x.display)
    settle(app)
    app.move_to(at)
    corner = server.screen().root.query_pointer()

    def picture():  # as the server sends it: the same bytes for the same picture
        return server.screen().root.get_image(corner.root_x, corner.root_y, width, height,
                                              X.ZPixmap, 0xFFFFFFFF).data

    def pixels(data):
        return numpy.frombuffer(data, numpy.uint8).reshape(height, width, 4)[..., 2::-1].astype(int)
    before = pixels(picture())
    os.killpg(app.process.pid, signal.SIGSTOP)  # the program, and Wine with it where it runs
    app.x.run("xdotool", "mousedown", "3")
    seen = [picture()]  # each picture that differs from the one before it
    os.killpg(app.process.pid, signal.SIGCONT)
    deadline = time.monotonic() + 10
    while (numpy.abs(pixels(seen[-1]) - wanted).max(-1) > 8).sum() > OUTLIERS:
        assert time.monotonic() < deadline, "no whole menu within 10 s"
        for _ in range(100):
            data = picture()
            if data != seen[-1]:
                seen.append(data)
    server.close()
    for data in seen:
        if changed(before, pixels(data), numpy.s_[:]) >= 500:
            check_against_reference(lambda: pixels(data), reference, folder)
    return poll(lambda: app.menus() or None, 10, "menu")[0]


# Benchmark mode's turn lines so far, each as its fields' numbers by name.
def turns(app, since_last_run=False):
    lines = open(app.stdout.name).read().splitlines()
    if since_last_run:
        lines = lines[max(i for i, line in enumerate(lines) if line.startswith("run ")):]
    return [{key: float(value) for key, value in (field.split("=") for field in line.split())}
            for line in lines if line.startswith("orbit=")]


# The run's summary, its last line, covers the turns since its last run line less those that the
# rule leaves out (`left_out`, by their place from 0 since that line): each turn's mark must say
# so, and the summary's count and median come from the turns that the rule keeps.
def assert_summed_up(app, left_out):
    since = turns(app, since_last_run=True)
    assert [turn["summed"] for turn in since] == [i not in left_out for i in range(len(since))]
    kps = sorted(turn["kps"] for i, turn in enumerate(since) if i not in left_out)
    summary = open(app.stdout.name).read().splitlines()[-1]
    assert summary.startswith(f"summary particles=32000 turns={len(kps)} "), summary
    assert not kps or f" kps_median={kps[(len(kps) - 1) // 2]:.0f} " in summary


# A run line read whole, as the program prints it on this server: Mesa's llvmpipe, and a wait for
# the display turned off or never offered.
def assert_run_line(line, width, height):
    assert re.fullmatch(r'run version=1\.45 renderer="llvmpipe \(LLVM [^"]+\)" gl_version="[^"]+'
                        r'Mesa [^"]+" vendor=Mesa/X\.org particles=32000 width=' + str(width) +
                        " height=" + str(height) + r" swap_interval=(0|unknown)\n", line), line


# The turns of one stretch of benchmark mode, each started where the one before ended: the k-th
# ends at the first frame at which the stretch has lasted k times 7.2 s, so the ends never come
# early, and come late by no more than the turn's longest frame (each length printed to 10 ms).
def assert_turns_keep_time(stretch):
    elapsed = 0
    for k, turn in enumerate(stretch, 1):
        elapsed += turn["seconds"]
        late = elapsed - 7.2 * k
        assert -0.005 * k - 1e-9 <= late <= turn["frame_ms_max"] / 1000 + 0.005 * k, (k, stretch)


# Whether anything shines around the emitter, (0, -8, 0) from the start-up camera.
def at_emitter(app):
    return (settle(app)[302:315, 314:327].min(-1) > 200).any()


# Under openbox, at the place where it puts the window, then with the window at (0, 0) and at
# (200, 150), and by the screen's right edge, its bottom edge and its bottom-right corner, where
# the menu cannot open down and to the right of the pointer and opens to the left, up, or both:
# "Burst [B]" chosen from the menu takes every particle away from the emitter, where "r" puts
# them and no other entry does. First the menu's first opening as the user sees it, from its first
# drawn frame; later a press held to open and a release to choose, or a click to open and another
# to choose; and a slow click, held while the menu opens, that drifts a pixel before its release
# and so must leave the menu open.
def test_the_menu_chooses_its_entry_wherever_the_window_sits(launch, tmp_path):
    app = launch(window_manager=True)
    app.keys("r", "f")  # held at the emitter, as the last check shows
    choose(app, 2, then="f", menu=open_menu_watching_its_first_frames(app, (320, 150), tmp_path))
    assert not at_emitter(app), "still something at the emitter"
    for place, at, how, opens in [((0, 0), (320, 150), "hold", ""),
                                  ((200, 150), (320, 150), "click", ""),
                                  ((380, 100), (620, 150), "click", "left"),
                                  ((100, 260), (320, 460), "click", "up"),
                                  ((380, 260), (620, 460), "hold", "left up"),
                                  ((380, 260), (620, 460), "drift", "left up")]:
        app.x.run("xdotool", "windowmove", "--sync", app.window, *map(str, place))
        app.keys("r", "f")  # held at the emitter
        if how == "drift":
            app.move_to(at)
            app.x.run("xdotool", "mousedown", "3", "sleep", "0.3", "mousemove_relative", "1", "0",
                      "sleep", "0.1", "mouseup", "3")
            menu = poll(lambda: app.menus() or None, 10, "menu")[0]
            time.sleep(0.3)
            assert app.menus() == [menu], "a click that drifted a pixel closed the menu"
        else:
            menu = app.open_menu(at, click=how == "click")
        box, window = app.geometry(menu), app.geometry()
        pointer = (window["X"] + at[0], window["Y"] + at[1])
        assert ("left" in opens) == (box["X"] + box["WIDTH"] <= pointer[0] + 1), (place, box)
        assert ("up" in opens) == (box["Y"] + box["HEIGHT"] <= pointer[1] + 1), (place, box)
        choose(app, 2, then="f", click=how != "hold", menu=menu)
        assert not at_emitter(app), place


# The menu holds the pointer while it is open, as desktop menus do. Under openbox, with the window
# where it puts it: a release and a click off the menu close it and choose nothing, in the scene
# where freeglut's own arithmetic (the window's coordinates against the menu's place on the
# screen) finds "Burst [B]", over another program's window, on the desktop and on the window's
# title bar. Afterwards a drag in the scene turns the camera, a move with no button held does not.
# Minimized, the window takes its open menu with it. The other program heard only the click made
# on it at the end.
def test_the_menu_closes_off_it_choosing_nothing_and_keeps_its_buttons(launch):
    app = launch(window_manager=True)
    other = subprocess.Popen(["xev", "-geometry", "160x100+850+20", "-event", "button"],
                             env=app.x.env, stdout=subprocess.PIPE, text=True)
    xev = poll(lambda: app.x.run("xdotool", "search", "--onlyvisible", "--name", "^Event Tester$",
                                 check=False).split() or None, 10, "the other program's window")
    box = app.geometry(xev[0])
    over_other = (box["X"] + box["WIDTH"] // 2, box["Y"] + box["HEIGHT"] // 2)
    app.x.run("xdotool", "windowactivate", "--sync", app.window)
    window = app.geometry()
    app.keys("r", "f")  # held at the emitter
    title_bar = (window["X"] + 320, window["Y"] - 8)
    for click, where in [(False, "beside"), (True, "beside"), (False, over_other),
                         (True, over_other), (False, (900, 700)), (True, (900, 700)),
                         (True, title_bar)]:
        menu = app.open_menu((60, 60), click)
        if where == "beside":
            x, y = app.entry_point(menu, 2)
            where = (window["X"] + x, window["Y"] + y)
        app.x.run("xdotool", "mousemove", "--sync", *map(str, where),
                  *(("click", "1") if click else ("mouseup", "3")))
        what = f"a {'click' if click else 'release'} at {where}"
        poll(lambda: not app.menus(), 10, f"the menu to close at {what}")
        assert at_emitter(app), f"{what} chose an entry"
    start = settle(app)
    drag(app, 1, (100, 300), (260, 300))
    turned = settle(app)
    assert changed(start, turned) > 3000, "a drag after the menu turned nothing"
    for x in range(100, 600, 50):
        app.move_to((x, 300))
    assert changed(turned, settle(app)) < 1000, "a move with no button held turned the camera"
    app.open_menu((60, 60), click=True)
    app.x.run("xdotool", "windowminimize", "--sync", app.window)
    poll(lambda: not app.menus(), 10, "the menu to close with its window minimized")
    app.x.run("xdotool", "mousemove", "--sync", *map(str, over_other), "click", "1")
    other.terminate()  # the other program heard this click, and no button of the menu's
    heard = other.communicate()[0]
    assert (heard.count("ButtonPress"), heard.count("ButtonRelease")) == (1, 1), heard


# With no window manager, the menu's first opening as the user sees it, from its first drawn frame.
def test_the_menu_is_whole_from_its_first_opening_with_no_window_manager(launch, tmp_path):
    app = launch()
    app.keys("r", "f")  # the scene held still under the menu
    open_menu_watching_its_first_frames(app, (320, 150), tmp_path)


# One damage each: the reader's table shows that every damage gets its refusal, and these that a
# refusal of any of the three pictures is drawn without.
# The Windows build reads its pictures from bytes in a way of its own, under Wine.
@pytest.mark.parametrize("name, damage, windows", [
    ("font.tga", lambda blob: None, False),  # missing
    ("wood.tga", lambda blob: blob[:len(blob) // 2], False),
    ("star.tga", lambda blob: blob[:12] + b"\xff" * 4 + blob[16:], False),  # 65535 x 65535
    ("wood.tga", lambda blob: blob[:len(blob) // 2], True),
], ids=["font-missing", "wood-half", "star-huge", "wood-half-windows"])
def test_a_missing_or_damaged_picture_is_done_without(launch, tmp_path, name, damage, windows):
    shutil.copytree(DATA, tmp_path / "data")
    picture = tmp_path / "data" / name
    blob = damage(picture.read_bytes())
    picture.unlink() if blob is None else picture.write_bytes(blob)
    app = launch(cwd=tmp_path / "data", sanitizer=not windows, windows=windows)
    first = wait_for(app, lambda f: (f[SKY].max(-1) > 60).mean() > 0.005, "particles aloft")
    frame = wait_for(app, lambda f: changed(first, f) > 500, "a moving picture")
    for picture, share in plain(frame).items():
        assert (share > PLAIN[picture]) == (picture == name), f"{share:.3f} plain: {picture}"
    close_cleanly(app)


def test_a_storm_of_input_leaves_the_sanitizer_build_running_and_sound(launch):
    seed = int(os.environ.get("EMBERVANE_STORM_SEED", 2001))  # another storm: set it
    print("storm seed", seed)  # shown with a failure
    rng = random.Random(seed)
    keys = "plus minus 1 2 b c f g h n r B C F G H N R a z space Escape Tab Return F1 Up".split()
    app = launch(sanitizer=True)
    end = time.monotonic() + float(os.environ.get("EMBERVANE_STORM_SECONDS", 30))
    while time.monotonic() < end:
        roll = rng.random()
        if roll < 0.1:
            points = [(rng.randrange(640), rng.randrange(440)) for _ in range(2)]
            drag(app, rng.choice((1, 2)), *points, steps=rng.randrange(2, 10))
        elif roll < 0.15:
            choose(app, rng.randrange(8), (rng.randrange(20, 380), rng.randrange(20, 260)))
        else:
            app.keys(*rng.choices(keys, k=rng.randrange(5, 40)))
        time.sleep(rng.random() * 0.15)
    close_cleanly(app)  # once every queued event is handled


# Under openbox, the sanitizer build with its GL checks: framed with a title bar, and titled;
# resized, drags that add up to the new width, then both viewport keys at the new size; the menu
# open; closed by the manager.
def test_a_window_manager_frames_resizes_and_closes_the_program(launch):
    app = launch(sanitizer=True, window_manager=True)
    extents = app.x.run("xprop", "-id", app.window, "_NET_FRAME_EXTENTS").split("=")[-1]
    assert int(extents.split(",")[2]) > 0, "no title bar"
    assert app.x.run("xdotool", "getwindowname", app.window) == WINDOW_TITLE + "\n"
    app.x.run("xdotool", "windowsize", "--sync", app.window, "800", "600")
    wait_for(app, lambda f: f[:, 640:].max() > 100, "the picture across the wider window")
    start = settle(app)
    drag(app, 1, (0, 300), (200, 300))  # a quarter of the new width: a quarter turn
    assert changed(start, settle(app)) > 20000
    drag(app, 2, (200, 300), (800, 300))  # the rest with the middle button: once around
    assert changed(start, settle(app)) < 2000
    app.keys("1")
    wait_for(app, lambda f: max(f[:360].max(), f[:, 320:].max()) < 10 and f[360:, :320].max() >
             100, "the picture in the lower-left 320x240 only")
    app.keys("2")
    wait_for(app, lambda f: f[:, 640:].max() < 10 and f[120:, :640].max() > 100,
             "the picture in the lower-left 640x480 only")
    app.open_menu()
    close_cleanly(app, through_manager=True)


# The sanitizer build's GL check at work: in the program's own window and context, one bad call
# of the golden tool ends it there, with GL's message.
def test_a_bad_gl_call_aborts_the_checked_build_with_gls_message():
    with XServer() as x:
        tool = subprocess.run([f"{ROOT}/build-asan/tests/golden_tool", "--gl-error"], env=x.env,
                              capture_output=True, text=True, timeout=60)
    assert tool.returncode == -signal.SIGABRT, tool.stderr
    assert "GL_INVALID_ENUM in glEnable" in tool.stderr


# Benchmark mode names the run, then prints a line per turn of 7.2 s. Minimized, the program
# draws nothing and counts nothing: it uses almost no processor, and once it is restored no turn
# shows a frame rate that the window cannot reach. Leaving benchmark mode sums the run up at once;
# a close in free mode then prints nothing.
def test_benchmark_turns_count_no_hidden_frames_and_a_closed_run_is_summed_up(launch):
    app = launch(window_manager=True)
    app.keys("n")
    poll(lambda: len(turns(app)) >= 2, 30, "two turns of the orbit")

    def seconds_used():  # the process's user and system time
        return sum(map(int, open(f"/proc/{app.process.pid}/stat").read().split()[13:15])) / 100
    app.x.run("xdotool", "windowminimize", "--sync", app.window)
    used, start = seconds_used(), time.monotonic()
    time.sleep(10)
    share = (seconds_used() - used) / (time.monotonic() - start)
    app.x.run("xdotool", "windowactivate", "--sync", app.window)
    seen = len(turns(app))
    poll(lambda: len(turns(app)) >= seen + 2, 30, "two turns after the window's return")
    assert share < 0.02, f"{share:.1%} of a core while hidden"
    drawn = max(turn["fps"] for turn in turns(app)[:2])
    assert_run_line(open(app.stdout.name).readline(), 640, 480)
    for number, turn in enumerate(turns(app), 1):
        assert (turn["orbit"], turn["particles"], turn["width"]) == (number, 32000, 640)
        assert turn["fps"] < 2 * drawn
    assert_turns_keep_time(turns(app)[:seen])  # from "n"
    assert_turns_keep_time(turns(app)[seen:])  # from the window's return
    app.keys("n")  # the summary, flushed while the program runs on in free mode
    poll(lambda: open(app.stdout.name).read().endswith("\n") and
         open(app.stdout.name).read().splitlines()[-1].startswith("summary"), 10, "the summary")
    assert_summed_up(app, left_out={0, seen})  # the first, and the first after the return
    printed = open(app.stdout.name).read()
    close_cleanly(app, through_manager=True)
    assert open(app.stdout.name).read() == printed, "closed in free mode, it summed up again"


# Ctrl-C or kill end a benchmark run with its summary, and then the process by that very signal,
# also while the window is minimized and no frame runs. After + and - within a turn the summary
# covers only the turns since, less the first.
@pytest.mark.parametrize("interruption, minimized", [(signal.SIGTERM, False), (signal.SIGINT, True)])
def test_an_interruption_sums_up_the_turns_since_the_workload_was_set(launch, interruption,
                                                                     minimized):
    app = launch(window_manager=minimized)
    app.keys("n")
    poll(lambda: len(turns(app)) >= 1, 30, "a turn")
    app.keys("plus", "minus")
    poll(lambda: len(turns(app)) >= 3, 30, "two turns more")
    if minimized:  # long enough for the hidden window's watch to have looked several times
        app.x.run("xdotool", "windowminimize", "--sync", app.window)
        time.sleep(0.5)
    app.process.send_signal(interruption)
    assert app.process.wait(10) == -interruption
    assert_summed_up(app, left_out={0})


# In benchmark mode, the menu opened and closed by clicks, then a resize: after each the first
# turn completed is left out, and the resize names a new run, read whole, whose summary forgets
# the turns before it. The window closed in benchmark mode sums the run up.
def test_the_menu_and_a_resize_each_leave_out_the_turn_after_them(launch):
    app = launch()
    app.keys("n")
    poll(lambda: len(turns(app)) >= 1, 30, "a turn")
    app.open_menu((60, 60), click=True)
    app.x.run("xdotool", "mousemove", "--sync", "900", "700", "click", "1")
    poll(lambda: not app.menus(), 10, "the menu to close")
    poll(lambda: len(turns(app)) >= 2, 30, "the turn after the menu")
    app.x.run("xdotool", "windowsize", "--sync", app.window, "800", "600")

    def run_lines():
        return [line for line in open(app.stdout.name) if line.startswith("run ")]
    poll(lambda: " width=800 height=600 " in run_lines()[-1], 10, "the run line at the new size")
    poll(lambda: len(turns(app, since_last_run=True)) >= 2, 30, "two turns at the new size")
    close_cleanly(app)
    assert [turn["summed"] for turn in turns(app)[:2]] == [0, 0]
    assert_run_line(run_lines()[-1], 800, 600)
    assert_summed_up(app, left_out={0})
