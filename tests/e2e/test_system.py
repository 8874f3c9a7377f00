# Golden frames against tests/data/golden, on each of Mesa's drivers at hand (a wrong vertex,
# glyph, colour or GL state exceeds the driver's tolerance in far more than OUTLIERS pixels); the
# program as a user drives and installs it.

import glob
import os
import random
import shutil
import subprocess
import time

import numpy
import pytest
from PIL import Image

from conftest import DATA, FLOOR, ROOT, SCENE, XServer, changed, close_cleanly, poll, settle, wait_for

GOLDEN = os.path.join(ROOT, "tests", "data", "golden")
OUTLIERS = 16
LAVAPIPE = ":".join(glob.glob("/usr/share/vulkan/icd.d/lvp_icd.*.json"))
# Each driver's environment, the renderer it must report (filled in from the references' own
# renderer and version, renderer.txt) and its tolerance per channel. zink on lavapipe rasterises
# as llvmpipe does: at most 6 pixels beyond 8. softpipe filters textures with other rounding:
# hundreds of pixels of the textured frames differ by up to 24 and at most 5 by more. Beyond 24
# there, one glyph moved by a pixel still puts 35 to 142 pixels in every frame, and sprite
# corners moved out by 2% put 60 in the untextured one. A driver that cannot start fails the
# drawing; a fall-back to another renderer fails the renderer check.
DRIVERS = {
    "llvmpipe": ({}, "{}\n{}\n", 8),
    "softpipe": ({"GALLIUM_DRIVER": "softpipe"}, "softpipe\n", 24),
    "zink": ({"GALLIUM_DRIVER": "zink", "VK_ICD_FILENAMES": LAVAPIPE}, "zink ({})\n", 8),
}


@pytest.fixture(scope="module", params=DRIVERS)
def frames(tmp_path_factory, request):
    folder = tmp_path_factory.mktemp(request.param)
    with XServer() as x:  # a driver that cannot start ends the tool, its reason on stderr
        subprocess.run([os.path.join(ROOT, "build", "tests", "golden_tool"), "--frames", folder],
                       env=dict(x.env, **DRIVERS[request.param][0]), check=True)
    return request.param, folder


@pytest.mark.parametrize("case", ["bare", "below", "fountain", "orbit", "text"])
def test_frame_matches_its_reference(frames, case):
    driver, frames = frames
    _, renderer, tolerance = DRIVERS[driver]
    expected = renderer.format(*open(f"{GOLDEN}/renderer.txt").read().splitlines())
    drew = (frames / "renderer.txt").read_text()
    assert drew.startswith(expected), (
        f"{driver}: these frames come from {drew!r}, not {expected!r} (from the references' "
        "renderer.txt). tools/install-deps.sh installs the references' Mesa and drivers; for a "
        "new Mesa, run `make golden` and review its pictures before committing them.")
    seen = numpy.asarray(Image.open(frames / f"{case}.ppm"), dtype=int)
    wanted = numpy.asarray(Image.open(f"{GOLDEN}/{case}.png").convert("RGB"), dtype=int)
    off = numpy.abs(seen - wanted).max(axis=-1) > tolerance
    if off.sum() > OUTLIERS:
        Image.open(frames / f"{case}.ppm").save(frames / f"{case}.png")
        difference = numpy.where(off[..., None], [255, 0, 0], wanted // 3)  # red on the dimmed
        Image.fromarray(difference.astype(numpy.uint8)).save(frames / f"{case}-difference.png")
        pytest.fail(f"{driver}: {off.sum()} pixels differ by more than {tolerance}: "
                    f"{frames}/{case}.png, {case}-difference.png")


COUNT_LINE = numpy.s_[446:456, :200]  # "32000 particles"
EMITTER = numpy.s_[302:315, 314:327]  # around (0, -8, 0) from the start-up camera


def drag(app, button, start, end, steps=12):
    app.x.run("xdotool", "mousemove", "--sync", *map(str, start), "mousedown", str(button))
    for i in range(1, steps + 1):
        point = [a + (b - a) * i // steps for a, b in zip(start, end)]
        app.x.run("xdotool", "mousemove", "--sync", *map(str, point))
    app.x.run("xdotool", "mouseup", str(button), "mousemove", "900", "700")


# Opens the menu at `at` and returns its window once shown.
def open_menu(app, at=(320, 150)):
    app.x.run("xdotool", "mousemove", "--sync", *map(str, at), "mousedown", "3")
    return poll(lambda: app.x.run("xdotool", "search", "--onlyvisible", "--name",
                                  "^freeglut menu$", check=False).split() or None, 10, "menu")[0]


# Opens the menu at `at`, releases it over entry (from 0) and sends the keys `then` at once.
def choose(app, entry, at=(320, 150), then=()):
    menu = open_menu(app, at)
    box = dict(line.split("=") for line in app.x.run("xdotool", "getwindowgeometry", "--shell",
                                                      menu).split())
    y = int(box["Y"]) + int(box["HEIGHT"]) * (2 * entry + 1) // 16  # eight entries, evenly
    app.x.run("xdotool", "mousemove", "--sync", str(int(box["X"]) + 40), str(y), "sleep", "0.05",
              "mouseup", "3", *[item for key in then for item in ("key", key)], "mousemove", "900",
              "700")
    poll(lambda: "IsViewable" not in app.x.run("xwininfo", "-id", menu), 10, "the menu to close")


# Green or yellow, as the count line's glyphs show over the wood; else None.
def count_colour(frame):
    red, green, blue = numpy.moveaxis(frame[COUNT_LINE], -1, 0)
    return ("green" if ((green - red) > 100).sum() > 40 else
            "yellow" if ((numpy.minimum(red, green) - blue) > 150).sum() > 40 else None)


def test_keys_change_count_and_mode_through_the_event_loop(launch):
    app = launch()
    assert app.x.run("xdotool", "search", "--onlyvisible", "--name", ".").split() == [app.window]
    app.keys("f", *["minus"] * 17)  # held still for 18 s, and 23500 particles: green
    wait_for(app, lambda f: count_colour(f) == "green", "23500 particles")
    app.keys("n")  # benchmark mode: 32000 particles and the orbit
    bench = wait_for(app, lambda f: count_colour(f) == "yellow", "benchmark mode's 32000")
    time.sleep(0.5)
    moved = changed(bench, app.shot())
    assert moved > 10000, "no orbit"
    app.keys("N")  # free mode again: the camera stops
    settle(app)


def test_drags_turn_the_camera_and_the_menu_bursts(launch):
    app = launch()
    app.keys("f")
    start = settle(app)
    drag(app, 1, (200, 200), (360, 240))  # a quarter turn, and a tilt
    turned = changed(start, settle(app))
    drag(app, 2, (360, 240), (200, 200))  # back again with the middle button
    back = changed(start, settle(app))
    assert turned > 20000 and back < 2000
    app.keys("r", "f")  # every particle at the emitter, held there
    assert (settle(app)[EMITTER].min(-1) > 200).any(), "nothing at the emitter"
    # "Burst [B]", and held again at once: all at the corners, where no other entry puts them
    choose(app, 2, then="f")
    assert not (settle(app)[EMITTER].min(-1) > 200).any(), "still something at the emitter"


DAMAGES = {"missing": lambda blob: None,
           "half": lambda blob: blob[:len(blob) // 2],
           "huge": lambda blob: blob[:12] + b"\xff" * 4 + blob[16:]}  # 65535 x 65535


@pytest.mark.parametrize("damage", DAMAGES)
@pytest.mark.parametrize("name", ["font.tga", "wood.tga", "star.tga"])
def test_a_missing_or_damaged_picture_is_done_without(launch, tmp_path, name, damage):
    shutil.copytree(DATA, tmp_path / "data")
    picture = tmp_path / "data" / name
    blob = DAMAGES[damage](picture.read_bytes())
    picture.unlink() if blob is None else picture.write_bytes(blob)
    app = launch(cwd=tmp_path / "data", sanitizer=True)
    first = wait_for(app, lambda f: f[SCENE].max() > 0, "a frame")
    time.sleep(0.5)
    frame = app.shot()
    assert changed(first, frame) > 500, "the picture stands still"
    plain = (numpy.abs(frame[FLOOR] - (0, 77, 102)).max(-1) < 6).mean()
    assert (plain > 0.5) == (name == "wood.tga"), f"{plain:.2f} of the floor is plain"
    blocks = (numpy.abs(frame[COUNT_LINE] - (255, 255, 0)).max(-1) < 12).mean()
    assert (blocks > 0.5) == (name == "font.tga"), f"{blocks:.2f} of the count line is solid"
    close_cleanly(app)


def test_a_storm_of_input_leaves_the_sanitizer_build_running_and_sound(launch):
    seed = int(os.environ.get("EMBERVANE_STORM_SEED", time.time_ns() % 1000000))
    print("storm seed", seed)  # shown with a failure; EMBERVANE_STORM_SEED repeats the storm
    rng = random.Random(seed)
    keys = "plus minus 1 2 b c f g h n r B C F G H N R a z space Escape Tab Return F1 Up".split()
    app = launch(sanitizer=True)
    end = time.monotonic() + float(os.environ.get("EMBERVANE_STORM_SECONDS", 30))
    for entry in range(8):  # every menu entry once, then at random
        choose(app, entry)
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
    app.keys("1")
    wait_for(app, lambda f: max(f[:240].max(), f[:, 320:].max()) < 10, "the quarter", 120)
    close_cleanly(app)


# Under openbox, the sanitizer build with its GL checks: framed with a title bar at the size asked
# for; resized, then both viewport keys at the new size; the menu open; closed by the manager.
# (The other tests choose the menu's entries: freeglut tests the release point as if the window
# sat at the screen's corner, which a frame prevents.)
def test_a_window_manager_frames_resizes_and_closes_the_program(launch):
    app = launch(sanitizer=True, window_manager=True)
    extents = app.x.run("xprop", "-id", app.window, "_NET_FRAME_EXTENTS").split("=")[-1]
    assert int(extents.split(",")[2]) > 0, "no title bar"
    assert app.x.run("xdotool", "getwindowgeometry", app.window).split()[-1] == "640x480"
    app.x.run("xdotool", "windowsize", "--sync", app.window, "800", "600")
    wait_for(app, lambda f: f[:, 640:].max() > 100, "the picture across the wider window")
    app.keys("1")
    wait_for(app, lambda f: max(f[:360].max(), f[:, 320:].max()) < 10 and f[360:, :320].max() >
             100, "the picture in the lower-left 320x240 only")
    app.keys("2")
    wait_for(app, lambda f: f[:, 640:].max() < 10 and f[120:, :640].max() > 100,
             "the picture in the lower-left 640x480 only")
    open_menu(app)
    close_cleanly(app, through_manager=True)


# Installed, or unpacked from the Debian package, and started through its launcher elsewhere.
@pytest.mark.parametrize("how", ["install", "package"])
def test_the_installed_launcher_draws_the_textured_floor(launch, tmp_path, how):
    if how == "install":
        prefix = tmp_path / "a prefix"
        subprocess.run(["cmake", "--install", os.path.join(ROOT, "build"), "--prefix", prefix],
                       check=True, capture_output=True)
    else:
        package = max(glob.glob(os.path.join(ROOT, "build", "embervane_*.deb")),
                      key=os.path.getmtime)
        assert "libglut" in subprocess.run(["dpkg-deb", "-f", package, "Depends"],
                                           capture_output=True, text=True).stdout
        subprocess.run(["dpkg-deb", "-x", package, tmp_path / "a root"], check=True)
        prefix = tmp_path / "a root" / "usr"
    assert (prefix / "share" / "applications" / "embervane.desktop").is_file()
    app = launch(prefix / "bin" / "embervane", cwd=tmp_path)
    wait_for(app, lambda f: ((f[FLOOR][..., 0] > f[FLOOR][..., 1] + 20) &
                             (f[FLOOR][..., 1] > f[FLOOR][..., 2] + 10)).mean() > 0.6,
             "a wooden floor")
