#!/usr/bin/python3
"""A long run at 120000 particles in benchmark mode, with a random command every few seconds,
watching the resident memory: fails if the program dies at any moment before the soak stops it,
or if its settled memory grows. A measurement, too long for the test command.

    soak.py [MINUTES] [BINARY]      (10 minutes of build/embervane by default; 3 at least)

Resident memory rises for the first minutes while the driver's buffers fill, so the verdict
leaves out the first third of the run and fits a straight line (least squares) to the lowest
reading of each minute of the rest: it fails on a slope above ALLOWED_KIB_PER_HOUR. A leak of
1 kB per command (one every 4 s on average, 900 kB an hour) fails a 10-minute soak, and so does
a step that stays; a longer soak sees a slower leak. Each change of resident memory is printed
with the commands sent since the reading before, so that a step can be traced to its cause.
"""

import os
import random
import signal
import sys
import time

from xsession import RELEASE, Program, XServer

SAMPLE_SECONDS = 10
SAMPLES_PER_MINUTE = 60 // SAMPLE_SECONDS
SHORTEST_MINUTES = 3  # a settled part of two minutes at least, for a line through two floors
ALLOWED_KIB_PER_HOUR = 450  # half of 1 kB a command, one every 4 s
COMMANDS = ["b", "c", "f", "g", "h", "r", "B", "C", "G", "H", "1", "2"]


def resident_kib(pid):
    """The process's resident memory, or None once it has ended (a zombie has none)."""
    with open(f"/proc/{pid}/status") as status:
        return next((int(line.split()[1]) for line in status if line.startswith("VmRSS:")), None)


def verdict(samples, status):
    """The soak's verdict on its readings, (seconds since the start, resident kB), and on the
    program's exit status once stopped: -SIGKILL is the soak's own kill at the end, anything else
    an end of its own before it. Returns (passed, the line that says why)."""
    if status != -signal.SIGKILL:
        return False, f"the program ended by itself, with status {status}"
    settled = [(t, kib) for t, kib in samples if t >= samples[-1][0] / 3]
    # The lowest reading of each minute, at the minute's middle: what the driver holds for a
    # moment after a command (megabytes, for a reading or two) is not growth.
    step = SAMPLES_PER_MINUTE
    minutes = [settled[i:i + step] for i in range(0, len(settled), step)]
    floors = [(sum(t for t, _ in m) / len(m), min(kib for _, kib in m)) for m in minutes]
    mean_t = sum(t for t, _ in floors) / len(floors)
    mean_kib = sum(kib for _, kib in floors) / len(floors)
    slope = (sum((t - mean_t) * (kib - mean_kib) for t, kib in floors) /
             sum((t - mean_t) ** 2 for t, _ in floors))
    per_hour = slope * 3600
    line = (f"settled VmRSS from {settled[0][0]:.0f} s: {min(k for _, k in floors):.0f} kB at its "
            f"lowest, growing {per_hour:+.0f} kB an hour (at most {ALLOWED_KIB_PER_HOUR})")
    return per_hour <= ALLOWED_KIB_PER_HOUR, line


def main(minutes, binary):
    if minutes < SHORTEST_MINUTES:
        print(f"soak: {minutes:g} min is too short to settle: {SHORTEST_MINUTES} at least")
        return 2
    seed = int(os.environ.get("EMBERVANE_SOAK_SEED", 7))
    rng = random.Random(seed)
    print(f"soak: {binary} for {minutes:g} min, seed {seed}", flush=True)
    samples, sent, since = [], 0, []
    with XServer() as x:
        program = Program(x, binary)
        program.keys("n", *["plus"] * 200)  # benchmark mode first: it sets the count to 32000
        started = next_sample = time.monotonic()
        last = resident_kib(program.process.pid)
        while time.monotonic() - started < minutes * 60:
            now, rss = time.monotonic() - started, resident_kib(program.process.pid)
            if rss is None:
                break  # ended: the verdict reads its status
            if rss != last:
                print(f"soak: {now:6.0f} s  VmRSS {last} -> {rss} kB ({rss - last:+d}) after "
                      f"{' '.join(since) or 'no command'}", flush=True)
                last = rss
            since = []
            if time.monotonic() >= next_sample:
                samples.append((now, rss))
                next_sample += SAMPLE_SECONDS
            since.append(rng.choice(COMMANDS))
            program.keys(since[-1])
            sent += 1
            time.sleep(rng.uniform(2, 6))
        # A death in the last seconds shows here: the kill leaves a program that already ended
        # with its own status.
        program.stop()
    passed, why = verdict(samples, program.process.returncode)
    print(f"soak: {sent} commands; {why}", flush=True)
    print("soak: PASS" if passed else "soak: FAIL", flush=True)
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main(float(sys.argv[1]) if len(sys.argv) > 1 else 10,
                  sys.argv[2] if len(sys.argv) > 2 else RELEASE))
