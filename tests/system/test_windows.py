# The Windows build on this machine: what it needs of Windows, its release zip, and under Wine,
# which hands every GL call to the same llvmpipe, its frames, its simulation and the program as a
# user drives it.

import os
import signal
import subprocess
import zipfile

import numpy
import pytest
from PIL import Image

from conftest import (GOLDEN, ROOT, SKY, WINDOW_TITLE, WINDOWS, WINE, XServer, changed,
                      check_against_reference, close_cleanly, poll, wait_for)
from test_bench import bench, kinds
from test_program import (assert_run_line, assert_summed_up, at_emitter, choose,
                          open_menu_watching_its_first_frames, turns)

# What every Windows has in its system folder; a DLL beyond these would have to ship in the zip.
SYSTEM_DLLS = {"advapi32.dll", "gdi32.dll", "glu32.dll", "kernel32.dll", "msvcrt.dll",
               "opengl32.dll", "user32.dll", "winmm.dll"}
# Windows' status for a program that a Ctrl-C ended (STATUS_CONTROL_C_EXIT), of which Wine passes
# the low byte on.
INTERRUPTED = 0xC000013A & 0xFF


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")  # Wine's drive Z: is the root


def wine(*args, **run):
    return subprocess.run([*WINE, *args], capture_output=True, timeout=120, **run)


@pytest.mark.parametrize("program", ["embervane.exe", "embervane-compare.exe"])
def test_each_program_needs_only_the_dlls_of_windows_itself(program):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", f"{WINDOWS}/{program}"],
                          capture_output=True, text=True, check=True).stdout
    dlls = {line.split(":", 1)[1].strip().lower() for line in dump.splitlines()
            if line.strip().startswith("DLL Name:")}
    assert "kernel32.dll" in dlls
    assert dlls <= SYSTEM_DLLS, dlls - SYSTEM_DLLS


# What a user unzips: the programs, the pictures that the program reads from its folder, and the
# texts in Windows' line ends, in a fixed order.
def test_the_zip_holds_the_programs_pictures_and_texts():
    with zipfile.ZipFile(f"{WINDOWS}/embervane-1.45-windows-x86_64.zip") as archive:
        assert archive.namelist() == [
            "embervane.exe", "embervane-compare.exe", "font.tga", "star.tga", "wood.tga",
            "LICENSE.txt", "FONT-LICENSE.txt", "README.txt"]
        assert archive.read("star.tga") == open(f"{ROOT}/data/star.tga", "rb").read()
        readme = archive.read("README.txt")
        assert readme.count(b"\r\n") == readme.count(b"\n") > 10


# Wine's glu32 halves the mip levels as Mesa's GLU does, and llvmpipe draws them: the frames are
# the references' own pixels, with no tolerance.
@pytest.fixture(scope="module")
def frames(tmp_path_factory):
    folder = tmp_path_factory.mktemp("windows")
    with XServer() as x:
        wine(f"{WINDOWS}/tests/golden_tool.exe", "--frames", windows_path(folder), env=x.env,
             check=True)
    return folder


@pytest.mark.parametrize("case", ["bare", "below", "fountain", "orbit", "text"])
def test_under_wine_a_frame_matches_its_reference(frames, case):
    expected = "{}\n{}\n".format(*open(f"{GOLDEN}/renderer.txt").read().splitlines())
    assert (frames / "renderer.txt").read_text() == expected
    check_against_reference(lambda: numpy.asarray(Image.open(frames / f"{case}.ppm"), dtype=int),
                            case, frames, tolerance=0)


def test_under_wine_the_simulation_gives_the_linux_results_byte_for_byte(tmp_path):
    reference = f"{ROOT}/tests/data/simulation.txt"
    with open(reference, "rb") as steps:
        wine(f"{WINDOWS}/tests/golden_tool.exe", "--simulation",
             windows_path(tmp_path / "results.txt"), stdin=steps, check=True)
    assert (tmp_path / "results.txt").read_bytes() == open(reference, "rb").read()


# Framed by a window manager, as every Windows window is (and without which Wine gives no window
# the keyboard until it is clicked): the title, the fountain drawn, benchmark mode's run line and
# turns from "n", then a close or a Ctrl-C, each summing the run up with its own status. Both
# compare tools read the log, in Windows' line ends, to the same report.
@pytest.mark.parametrize("ending, status", [("close", 0), ("interruption", INTERRUPTED)])
def test_under_wine_a_benchmark_run_is_summed_up_and_read_back(launch, tmp_path, ending, status):
    app = launch(windows=True, window_manager=True)
    assert app.x.run("xdotool", "getwindowname", app.window) == WINDOW_TITLE + "\n"
    first = wait_for(app, lambda f: (f[SKY].max(-1) > 60).mean() > 0.005, "particles aloft")
    wait_for(app, lambda f: changed(first, f) > 500, "a moving picture")
    app.keys("n")
    poll(lambda: len(turns(app)) >= 2, 40, "two turns of the orbit")
    if ending == "close":
        close_cleanly(app)
    else:
        os.killpg(app.process.pid, signal.SIGINT)  # as a Ctrl-C in its console
        assert app.process.wait(20) == status
    log = open(app.stdout.name, "rb").read()
    assert log.count(b"\r\n") == log.count(b"\n")
    assert_run_line(open(app.stdout.name).readline(), 640, 480)
    assert_summed_up(app, left_out={0})
    folder, name = os.path.split(app.stdout.name)  # the report names the log as it was given
    linux = subprocess.run([f"{ROOT}/build/embervane-compare", name], cwd=folder,
                           capture_output=True, text=True)
    windows = wine(f"{WINDOWS}/embervane-compare.exe", name, cwd=folder, text=True)
    assert (linux.returncode, windows.returncode) == (0, 0), windows.stderr
    assert "\n32000 particles at 640x480, " in linux.stdout
    assert windows.stdout == linux.stdout


# The menu as the tests try it on X, under openbox: whole from its first drawn frame, in the
# system's menu colours, which freeglut takes on Windows (Wine's are its own reference). Beside it,
# where freeglut's arithmetic (the window's coordinates against the menu's place on the screen)
# finds "Burst [B]", the release of the opening press leaves it open, as Windows' own menus do,
# and a click closes it; neither chooses. The release of a press held over the entry chooses it.
def test_under_wine_the_menu_opens_whole_and_chooses_only_what_is_under_the_pointer(launch,
                                                                                  tmp_path):
    app = launch(windows=True, window_manager=True)
    app.x.run("xdotool", "windowmove", "--sync", app.window, "380", "240")  # so beside is off it
    app.keys("r", "f")  # held at the emitter
    menu = open_menu_watching_its_first_frames(app, (60, 60), tmp_path, "menu-windows")
    x, y = app.entry_point(menu, 2)
    window = app.geometry()
    beside = (str(window["X"] + x), str(window["Y"] + y))
    app.x.run("xdotool", "mousemove", "--sync", *beside, "mouseup", "3", "sleep", "0.3")
    assert app.menus() == [menu], "a release beside the menu closed it"
    app.x.run("xdotool", "click", "1")
    poll(lambda: not app.menus(), 10, "the menu to close at a click beside it")
    assert at_emitter(app), "a release or a click beside the menu chose an entry"
    choose(app, 2, then="f")
    assert not at_emitter(app), "still something at the emitter"


# embervane-bench drives the Windows program under Wine as it drives the Linux one, on a server of
# its own with no window manager: the window takes the focus that the driver offers it, and so
# hears its keys. The log has one kind of line end.
def test_the_bench_drives_the_windows_program_under_wine(tmp_path):
    run = bench("--headless", "--particles", "8000", "--turns", "1", "-o", str(tmp_path / "x.log"),
                "--program", *WINE, f"{WINDOWS}/embervane.exe")
    _, progress = run.communicate(timeout=240)
    assert run.returncode == 0, progress
    log = (tmp_path / "x.log").read_bytes()
    assert b"\r" not in log
    assert kinds(log.decode().splitlines()) == ["bench", "run", "settling", "counted", "summary",
                                                "bench_end"]


# A run that fails ends the Windows program as it ends any other, and Wine's wrapper still removes
# the prefix that it made (a killed wrapper left some 700 MB behind each time).
def test_a_failed_run_under_wine_leaves_no_prefix_behind(tmp_path):
    run = bench("--headless", "--limit", "2", "--program", *WINE, f"{WINDOWS}/embervane.exe",
                env={"TMPDIR": str(tmp_path)})
    _, said = run.communicate(timeout=60)
    assert (run.returncode, said) == (1, "embervane-bench: the program showed no window within 2 s\n")
    assert list(tmp_path.iterdir()) == []
