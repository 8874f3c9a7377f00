# Golden frames against tests/data/golden, on each of Mesa's drivers at hand (a wrong vertex,
# glyph, colour or GL state exceeds the driver's tolerance in far more than OUTLIERS pixels); the
# program as a user drives and installs it.

import glob
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

from conftest import (DATA, FLOOR, ROOT, TITLE, XServer, changed, close_cleanly, poll, settle,
                      wait_for)

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


@pytest.mark.parametrize("case", ["bare", "below", "fountain", "orbit", "text"])
def test_frame_matches_its_reference(frames, case):
    driver, frames = frames
    _, renderer, tolerance = DRIVERS[driver]
    expected = renderer.format(*open(f"{GOLDEN}/renderer.txt").read().splitlines())
    drew = (frames / "renderer.txt").read_text()
    assert drew.startswith(expected), (  # the message says what to do
        f"{driver} drew with {drew!r}, the references with {expected!r}: run tools/install-deps.sh"
        ", or for a new Mesa `make golden`, and review the pictures before committing them.")
    check_against_reference(lambda: numpy.asarray(Image.open(frames / f"{case}.ppm"), dtype=int),
                            case, frames, tolerance)


COUNT_LINE = numpy.s_[446:456, :200]  # "32000 particles"
EMITTER = numpy.s_[302:315, 314:327]  # around (0, -8, 0) from the start-up camera
SKY = numpy.s_[:250]  # above the floor's far edge from the start-up camera
PLAIN = {"wood.tga": 0.5, "font.tga": 0.5, "star.tga": 0.2}  # sprites: < 0.04; squares: > 0.4


# How much of each picture's part of a frame is drawn as without the picture: the floor in
# plain blue-grey, the count line's glyphs as solid blocks, and the particles as flat squares
# (the lit pixels in the sky as bright as their left neighbour; a sprite's glow falls off).
def plain(frame):
    return {"wood.tga": (numpy.abs(frame[FLOOR] - (0, 77, 102)).max(-1) < 6).mean(),
            "font.tga": (numpy.abs(frame[COUNT_LINE] - (255, 255, 0)).max(-1) < 12).mean(),
            "star.tga": (numpy.diff(frame[SKY].max(-1))[frame[SKY, 1:].max(-1) > 60] == 0).mean()}


# A drag between two points of the window, in its own pixels.
def drag(app, button, start, end, steps=12):
    app.move_to(start)
    app.x.run("xdotool", "mousedown", str(button))
    for i in range(1, steps + 1):
        app.move_to([a + (b - a) * i // steps for a, b in zip(start, end)])
    app.x.run("xdotool", "mouseup", str(button), "mousemove", "1020", "0")


# Opens the menu at `at` (a press held, or a click), checks its picture, chooses entry (from 0)
# by releasing over it (or clicking it), sends the keys `then` at once and waits for the menu to
# close.
def choose(app, entry, at=(320, 150), then=(), check=lambda menu: None, click=False):
    menu = app.open_menu(at, click)
    check(menu)
    app.point_at(menu, entry)
    app.x.run("xdotool", "sleep", "0.05", "click" if click else "mouseup", "1" if click else "3",
              *[item for key in then for item in ("key", key)], "mousemove", "1020", "0")
    poll(lambda: not app.menus(), 10, "the menu to close")


# Benchmark mode's turn lines so far, each as its fields' numbers by name.
def turns(app):
    return [{key: float(value) for key, value in (field.split("=") for field in line.split())}
            for line in open(app.stdout.name) if line.startswith("orbit=")]


def at_emitter(app):
    return (settle(app)[EMITTER].min(-1) > 200).any()


# Under openbox, at the place where it puts the window, then with the window at (0, 0),
# (200, 150) and by the screen's bottom-right corner, where the menu opens up and to the left:
# "Burst [B]" chosen from the menu takes every particle away from the emitter, where "r" puts
# them and no other entry does. First the menu's first opening as the user sees it, every label
# in its place; later a click to open and another to choose, and a release beside the menu,
# where freeglut's own arithmetic would find an entry, which chooses nothing.
def test_the_menu_chooses_its_entry_wherever_the_window_sits(launch, tmp_path):
    app = launch(window_manager=True)
    app.keys("r", "f")  # held at the emitter, as the last check shows
    choose(app, 2, then="f", check=lambda menu: check_against_reference(
        lambda: app.shot(window=menu), "menu", tmp_path, timeout=2))
    assert not at_emitter(app), "still something at the emitter"
    for place, at, click in [((0, 0), (320, 150), False), ((200, 150), (320, 150), True),
                             ((380, 260), (620, 460), False)]:
        app.x.run("xdotool", "windowmove", "--sync", app.window, *map(str, place))
        app.keys("r", "f")  # held at the emitter
        choose(app, 2, at, then="f", click=click)
        assert not at_emitter(app), place
    app.keys("r", "f")  # held at the emitter
    menu = app.open_menu((60, 40))
    window = app.geometry()  # further off the corner than the menu is wide or high
    x, y = app.entry_point(menu, 2)
    app.x.run("xdotool", "mousemove", "--sync", str(x + window["X"]), str(y + window["Y"]),
              "mouseup", "3")
    # Still held at the emitter, and the menu still open once the release has been handled.
    assert at_emitter(app) and app.menus(), "a release beside the menu chose an entry"


# One damage each: the reader's table shows that every damage gets its refusal, and these that a
# refusal of any of the three pictures is drawn without.
@pytest.mark.parametrize("name, damage", [
    ("font.tga", lambda blob: None),  # missing
    ("wood.tga", lambda blob: blob[:len(blob) // 2]),
    ("star.tga", lambda blob: blob[:12] + b"\xff" * 4 + blob[16:]),  # 65535 x 65535
], ids=["font-missing", "wood-half", "star-huge"])
def test_a_missing_or_damaged_picture_is_done_without(launch, tmp_path, name, damage):
    shutil.copytree(DATA, tmp_path / "data")
    picture = tmp_path / "data" / name
    blob = damage(picture.read_bytes())
    picture.unlink() if blob is None else picture.write_bytes(blob)
    app = launch(cwd=tmp_path / "data", sanitizer=True)
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


# Under openbox, the sanitizer build with its GL checks: framed with a title bar at the size asked
# for; resized, drags that add up to the new width, then both viewport keys at the new size; the
# menu open; closed by the manager. The GL check at work meanwhile: in the program's own window
# and context, one bad call of the golden tool ends it there, with GL's message.
def test_a_window_manager_frames_resizes_and_closes_the_program(launch):
    app = launch(sanitizer=True, window_manager=True)
    extents = app.x.run("xprop", "-id", app.window, "_NET_FRAME_EXTENTS").split("=")[-1]
    assert int(extents.split(",")[2]) > 0, "no title bar"
    # Who the window is, for a dock or task bar: the class that the desktop entry names, the title
    # in UTF-8, and the installed icons' pixels, as _NET_WM_ICON's width, height and ARGB words.
    assert "StartupWMClass=Embervane\n" in open(f"{ROOT}/app/embervane.desktop").read()
    assert app.x.run("xprop", "-id", app.window, "WM_CLASS", "_NET_WM_NAME").splitlines() == [
        'WM_CLASS(STRING) = "embervane", "Embervane"', f'_NET_WM_NAME(UTF8_STRING) = "{TITLE}"']
    icons = []
    for n in (16, 32, 48):
        argb = numpy.asarray(Image.open(f"{DATA}/icons/embervane-{n}.png"))[..., [3, 0, 1, 2]]
        icons += [n, n, *argb.copy().view(">u4").flat]
    assert [*map(int, app.x.run("xprop", "-id", app.window, "-f", "_NET_WM_ICON", "32c", "=$0+",
                                "_NET_WM_ICON").split("=")[1].split(","))] == icons
    app.x.run("xdotool", "windowsize", "--sync", app.window, "800", "600")
    wait_for(app, lambda f: f[:, 640:].max() > 100, "the picture across the wider window")
    start = settle(app)
    drag(app, 1, (0, 300), (200, 300))  # a quarter of the new width: a quarter turn
    turned = changed(start, settle(app))
    drag(app, 2, (200, 300), (800, 300))  # the rest with the middle button: once around
    assert turned > 20000 and changed(start, settle(app)) < 2000
    app.keys("1")
    wait_for(app, lambda f: max(f[:360].max(), f[:, 320:].max()) < 10 and f[360:, :320].max() >
             100, "the picture in the lower-left 320x240 only")
    app.keys("2")
    wait_for(app, lambda f: f[:, 640:].max() < 10 and f[120:, :640].max() > 100,
             "the picture in the lower-left 640x480 only")
    app.open_menu()
    tool = subprocess.run([f"{ROOT}/build-asan/tests/golden_tool", "--gl-error"], env=app.x.env,
                          capture_output=True, text=True, timeout=60)
    assert tool.returncode == -signal.SIGABRT, tool.stderr
    assert "GL_INVALID_ENUM in glEnable" in tool.stderr
    close_cleanly(app, through_manager=True)


# Where the HUD's rate, average and peak row ends: one cell further for each digit more.
def rates_end(frame):
    return numpy.nonzero(((frame[458:468, :, :2] >= 250).all(-1)).any(0))[0].max()


# Benchmark mode prints a line per turn of 7.2 s. Minimized, the program draws nothing and
# counts nothing: it uses almost no processor, and once it is restored no turn shows a frame rate
# that the window cannot reach, nor the HUD a peak of another order. Closed by the manager, it
# sums the run up, leaving out the first turn.
def test_benchmark_turns_count_no_hidden_frames_and_a_closed_run_is_summed_up(launch):
    app = launch(window_manager=True)
    app.keys("n")
    poll(lambda: len(turns(app)) >= 2, 30, "two turns of the orbit")
    shown = rates_end(app.shot())

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
    for number, turn in enumerate(turns(app), 1):
        assert (turn["orbit"], turn["particles"]) == (number, 32000)
        assert abs(turn["seconds"] - 7.2) < turn["frame_ms_max"] / 1000 + 0.01
        assert turn["fps"] < 2 * drawn
    assert rates_end(app.shot()) - shown < 10, "the peak took another digit"
    close_cleanly(app, through_manager=True)
    kps = sorted(turn["kps"] for turn in turns(app)[1:])
    summary = open(app.stdout.name).read().splitlines()[-1]
    assert f" turns={len(kps)} " in summary
    assert f" kps_median={kps[(len(kps) - 1) // 2]:.0f} " in summary


# Where the install and both packages put each file; the checker of each file that has one.
DESKTOP = "share/applications/embervane.desktop"
METAINFO = "share/metainfo/org.embervane.embervane.metainfo.xml"
CHECKED = {DESKTOP: "desktop-file-validate {}",
           METAINFO: "appstreamcli validate --no-net --strict {}",
           "share/man/man6/embervane.6.gz": "man --warnings -l -Tutf8 -Z {} >/dev/null"}
LAYOUT = {*CHECKED, "bin/embervane", "libexec/embervane/embervane",
          "share/doc/embervane/copyright", "share/doc/embervane/changelog.gz",
          *(f"share/embervane/{name}.tga" for name in ("font", "wood", "star")),
          *(f"share/icons/hicolor/{n}x{n}/apps/embervane.png" for n in (16, 32, 48, 64, 128, 256)),
          "share/icons/hicolor/scalable/apps/embervane.svg"}
PACKAGES = {"deb": ("lintian --pedantic {}", "E|W|I|P", "dpkg-deb -f {} Depends",
                    "dpkg-deb -x {} {}"),
            "rpm": ("rpmlint --permissive {}", "E", "rpm -qpR {}",  # status 0 despite errors
                    "mkdir {1} && rpm2cpio {0} | cpio -id -D {1}")}


# The Debian package of each command below whose name is not the command's own.
BROUGHT_BY = {"dpkg-deb": "dpkg", "desktop-file-validate": "desktop-file-utils",
              "appstreamcli": "appstream", "man": "man-db", "mkdir": "coreutils"}


# Runs a shell command with the paths quoted in its {}; its output and errors together. Every
# command in it must be there and succeed, in a pipe too: a checker that is missing or fails is
# a failure, never an empty report.
def shell(command, *paths):
    for tool in re.findall(r"(?:^|[|&] *)([\w-]+)", command):
        assert shutil.which(tool), f"no {tool}: apt-get install {BROUGHT_BY.get(tool, tool)}"
    run = subprocess.run(["bash", "-o", "pipefail", "-c",
                          command.format(*(f"'{path}'" for path in paths))],
                         text=True, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    assert run.returncode == 0, f"{command} ended with status {run.returncode}:\n{run.stdout}"
    return run.stdout


# A checker's errors, warnings, notes and pedantic findings (lintian shows the last two only when
# asked; an RPM's errors alone), less the signature that whoever distributes a package adds.
def complaints(checker, path, kinds="E|W|I|P|error|warning"):
    return [line for line in shell(checker, path).splitlines()
            if re.search(rf"\b({kinds}):", line) and "no-signature" not in line]


# Installed, or unpacked from a package and checked, and started through its launcher elsewhere:
# every file where a distribution wants it, and all three pictures drawn.
@pytest.mark.parametrize("how", ["install", "deb", "rpm"])
def test_the_installed_files_pass_their_checkers_and_draw_every_picture(launch, tmp_path, how):
    prefix = tmp_path / "a root" / "usr"
    if how == "install":
        shell("cmake --install {} --prefix {}", os.path.join(ROOT, "build"), prefix)
    else:
        package = max(glob.glob(f"{ROOT}/build/embervane*.{how}"), key=os.path.getmtime)
        checker, kinds, needs, unpack = PACKAGES[how]  # checker, what counts, needs, unpacker
        assert complaints(checker, package, kinds) == []
        assert "libglut" in shell(needs, package)
        shell(unpack, package, prefix.parent)
    assert {str(p.relative_to(prefix)) for p in prefix.rglob("*") if p.is_file()} == LAYOUT
    for path, checker in CHECKED.items():
        assert complaints(checker, prefix / path) == []
    icon = re.search(r"^Icon=(.*)$", (prefix / DESKTOP).read_text(), re.M)[1]
    assert len(list(prefix.glob(f"share/icons/hicolor/*/apps/{icon}.*"))) == 7, icon
    launchable = re.search(r'"desktop-id">([^<]*)</launchable>', (prefix / METAINFO).read_text())
    assert (prefix / DESKTOP).name == launchable[1]
    app = launch(prefix / "bin" / "embervane", cwd=tmp_path)
    frame = wait_for(app, lambda f: ((f[FLOOR][..., 0] > f[FLOOR][..., 1] + 20) &
                                     (f[FLOOR][..., 1] > f[FLOOR][..., 2] + 10)).mean() > 0.6
                     and (f[SKY].max(-1) > 60).mean() > 0.005, "a wooden floor, particles above")
    for picture, share in plain(frame).items():
        assert share < PLAIN[picture], f"{share:.3f} plain: {picture}"
