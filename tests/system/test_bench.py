# embervane-bench as a nightly job runs it: with no one at the keyboard, on a private server or
# beside other windows, and its failures said with nothing lost.

import os
import signal
import subprocess
import time
from xml.etree import ElementTree

import pytest

from conftest import RELEASE, ROOT, Program, XServer, poll

BENCH = os.path.join(ROOT, "build", "embervane-bench")
COMPARE = os.path.join(ROOT, "build", "embervane-compare")


def bench(*args, env=None, **popen):
    environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
    return subprocess.Popen([BENCH, *args], env=dict(environment, **(env or {})), text=True,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, **popen)


def fields(line):
    return dict(field.split("=", 1) for field in line.split()[1 if " " in line else 0:]
                if "=" in field)


# The shape of one count's run in the log: the driver's line, the one run line, the settling
# turn, the counted turns with their processor time, the summary, the load at the end.
def kinds(lines):
    shape = []
    for line in lines:
        kind = line.split(" ", 1)[0]
        if kind.startswith("orbit="):
            kind = "counted" if fields(line)["summed"] == "1" else "settling"
            assert int(fields(line)["cpu_ms"]) > 0, line
        shape.append(kind)
    return shape


def test_a_headless_run_holds_each_count_with_its_turns_and_summary(tmp_path):
    run = bench("--headless", "--particles", "8000,32000", "--turns", "3", "-o",
                str(tmp_path / "x.log"))
    _, progress = run.communicate(timeout=240)
    assert run.returncode == 0, progress
    lines = (tmp_path / "x.log").read_text().splitlines()
    one = ["bench", "run", "settling", "counted", "counted", "counted", "summary", "bench_end"]
    assert kinds(lines) == one + one
    assert [fields(lines[i])["particles"] for i in (1, 6, 9, 14)] == ["8000"] * 2 + ["32000"] * 2
    assert [fields(lines[i])["turns"] for i in (6, 14)] == ["3", "3"]
    assert "32000 particles at 640x480: turn 3 of 3, " in progress.splitlines()[-1]
    # The log reads back whole: both counts, each with its turns and the program's processor time.
    report = subprocess.run([COMPARE, str(tmp_path / "x.log")], capture_output=True, text=True)
    assert report.returncode == 0, report.stderr
    # Against itself, with the options a nightly job gives: no slowdown, and a plot.
    itself = subprocess.run([COMPARE, "--max-slowdown", "5", "--any-workload", "--plot",
                             str(tmp_path / "x.svg"), str(tmp_path / "x.log"),
                             str(tmp_path / "x.log")], capture_output=True, text=True)
    assert itself.returncode == 0, itself.stderr
    assert (tmp_path / "x.svg").read_text().startswith("<svg ")
    groups = [line for line in report.stdout.splitlines() if " particles at " in line]
    assert groups == ["8000 particles at 640x480, 3 turns", "32000 particles at 640x480, 3 turns"]
    shares = [line.split()[1] for line in report.stdout.splitlines() if line.startswith("processors")]
    assert all(float(share) > 0.5 for share in shares), report.stdout


# embervane-compare's own command line: help is asked for, a wrong line is not a refusal, and a
# lone "-" is a file's name (here none).
@pytest.mark.parametrize("args,status,said", [
    (["--help"], 0, "usage: embervane-compare "),
    ([], 2, "usage: embervane-compare "),
    (["--max-slowdown", "x", "a.log"], 2, "usage: embervane-compare "),
    (["--frobnicate", "a.log"], 2, "usage: embervane-compare "),
    (["-o", "a.log"], 2, "usage: embervane-compare "),
    (["--max-slowdown", "101", "a.log"], 2, "usage: embervane-compare "),
    (["a.log", "--plot"], 2, "usage: embervane-compare "),
    (["a.log", "--max-slowdown"], 2, "usage: embervane-compare "),
    (["-"], 1, "embervane-compare: cannot read -: No such file or directory\n")])
def test_compare_says_its_usage_with_the_status_of_why(tmp_path, args, status, said):
    result = subprocess.run([COMPARE, *args], capture_output=True, text=True, cwd=tmp_path)
    assert result.returncode == status
    assert (result.stdout if status == 0 else result.stderr).startswith(said)


# A log of six counted turns at these kps, 32000 particles, each frame_ms_p99 half a ms above the
# one before, and 7.1 s of processor time in each 7.2 s turn.
def log_of(kps):
    turn = ("orbit={} particles=32000 frames=230 seconds=7.20 fps={:.1f} kps={} frame_ms_p50=31.00 "
            "frame_ms_p99={:.2f} frame_ms_max=40.00 width=640 height=480 summed={} cpu_ms=7100")
    return "\n".join(["run version=1.45 renderer=llvmpipe particles=32000 width=640 height=480 "
                      "swap_interval=0", turn.format(1, 30, 960, 40, 0)] +
                     [turn.format(i + 2, k / 32, k, 35 + i / 2, 1) for i, k in enumerate(kps)] +
                     ["summary particles=32000 turns=6", ""])


# The report as a nightly job reads it, worked out by hand: medians by nearest rank (the lower
# middle of six), a 95% interval of six turns from the lowest to the highest, the exact U test of
# six turns against six all below them, p = 2/924; then the statuses that a job acts on, and a plot.
def test_compare_reports_a_slowdown_and_says_it_by_its_status(tmp_path):
    (tmp_path / "old.log").write_text(log_of([1000, 1010, 1020, 1030, 1040, 1050]))
    (tmp_path / "new.log").write_text(log_of([900, 910, 920, 930, 940, 950]))
    logs = [str(tmp_path / "old.log"), str(tmp_path / "new.log")]
    report = subprocess.run([COMPARE, *logs], capture_output=True, text=True)
    assert report.returncode == 0, report.stderr
    rows = {line.split()[0]: line for line in report.stdout.splitlines()[4:9]}
    assert rows["kps"] == ("kps            1020.0 [1000.0, 1050.0]         920.0 [900.0, 950.0]  "
                           "          -9.80% (p=0.002 n=6+6)")
    assert rows["fps"] == ("fps            31.90 [31.20, 32.80]            28.80 [28.10, 29.70]  "
                           "          -9.72% (p=0.002 n=6+6)")
    assert rows["frame_ms_p99"] == ("frame_ms_p99   36.00 [35.00, 37.50]            36.00 "
                                    "[35.00, 37.50]            ~        (p=1.000 n=6+6)")
    assert rows["processors"] == "processors     0.99                            0.99"
    for limit, status in [("100", 0), ("15", 0), ("9.8", 3), ("5", 3), ("0", 3)]:
        job = subprocess.run([COMPARE, "--max-slowdown", limit, *logs], capture_output=True,
                             text=True)
        assert job.returncode == status, limit
        said = f"slower by more than {limit}%: {logs[1]} at 32000 particles at 640x480: kps -9.80%"
        assert (said in job.stdout) == (status == 3), job.stdout
    plotted = subprocess.run([COMPARE, "--plot", str(tmp_path / "x.svg"), *logs])
    assert plotted.returncode == 0
    texts = [text.text for text in ElementTree.parse(tmp_path / "x.svg").iter()
             if text.tag.endswith("text")]
    assert texts[-2:] == [f"llvmpipe ({logs[0]})", f"llvmpipe ({logs[1]})"]
    unwritable = subprocess.run([COMPARE, "--plot", str(tmp_path / "no" / "x.svg"), *logs],
                                capture_output=True, text=True)
    assert unwritable.returncode == 1
    assert unwritable.stderr == (f"embervane-compare: cannot write {tmp_path}/no/x.svg: "
                                 "No such file or directory\n")


# Under openbox, with another Embervane beside it and xev holding the focus: the run completes,
# and neither of the two hears a key of it.
def test_keys_go_to_its_own_window_alone(tmp_path):
    with XServer() as x:
        x.start_window_manager()
        other = Program(x, stdout=open(tmp_path / "other.log", "w"))
        xev = subprocess.Popen(["xev", "-event", "keyboard"], env=x.env, text=True,
                               stdout=subprocess.PIPE)
        try:
            window = poll(lambda: x.run("xdotool", "search", "--onlyvisible", "--name",
                                        "^Event Tester$", check=False).split() or None, 10,
                          "xev")[0]
            x.run("xdotool", "windowfocus", "--sync", window)
            run = bench("--particles", "32000", "--turns", "1", env={"DISPLAY": x.display})
            log, progress = run.communicate(timeout=120)
            assert run.returncode == 0, progress
            assert kinds(log.splitlines())[-2:] == ["summary", "bench_end"]
            assert x.run("xdotool", "getwindowfocus").strip() == window
            other.check_running()
            assert (tmp_path / "other.log").read_text() == ""
        finally:
            xev.terminate()
            heard = xev.communicate(timeout=10)[0]
            other.stop()
        assert "KeyPress" not in heard and "KeyRelease" not in heard


# A program that dies at once, one that never shows a window, and one stopped after its first turn
# (the command runs from the pictures' folder, so the stand-in's pid goes to a path of the test's):
# a message each, status 1 within its limit (2 s here, beyond a turn's 7.2 s for a turn), and the
# lines received so far kept.
@pytest.mark.parametrize("command, stop, message, kept", [
    (["sh", "-c", "echo 'no pictures' >&2; exit 3"], False,
     "the program ended before it showed a window, status 3; its last lines on standard "
     "error:\n  no pictures\n", []),
    (["sleep", "60"], False, "the program showed no window within 2 s\n", []),
    (["sh", "-c", 'echo $$ >"$PID_FILE"; exec "$0"', RELEASE], True,
     "no turn from the program within 9 s\n", ["bench", "run", "settling"]),
])
def test_a_failure_is_said_and_keeps_the_lines(tmp_path, command, stop, message, kept):
    run = bench("--headless", "--limit", "2", "-o", str(tmp_path / "x.log"), "--program",
                *command, env={"PID_FILE": str(tmp_path / "pid")})
    started = time.monotonic()
    if stop:
        assert "settling turn" in run.stderr.readline()
        started = time.monotonic()
        os.kill(int(open(tmp_path / "pid").read()), signal.SIGSTOP)
    _, said = run.communicate(timeout=60)
    assert (run.returncode, said) == (1, "embervane-bench: " + message)
    assert time.monotonic() - started < (9 if stop else 2) + 3
    assert kinds((tmp_path / "x.log").read_text().splitlines()) == kept
