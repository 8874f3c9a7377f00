#!/usr/bin/python3
"""A long run at 120000 particles in benchmark mode, with a random command every few seconds,
watching the resident memory: fails if the program dies or its memory floor rises by more than
5 MB after the first minute. A measurement, too long for the test command.

    soak.py [MINUTES] [BINARY]      (10 minutes of build/embervane by default)
"""

import os
import random
import sys
import time

from xsession import RELEASE, Program, XServer

SAMPLE_SECONDS = 10
WARM_UP_SECONDS = 60  # memory settles (driver caches, glyph sheet) before the first reading
ALLOWED_GROWTH_KIB = 5 * 1024
WINDOW_SECONDS = 120  # each end's window for the verdict
COMMANDS = ["b", "c", "f", "g", "h", "r", "B", "C", "G", "H", "1", "2"]


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))


def main(minutes, binary):
    seed = int(os.environ.get("EMBERVANE_SOAK_SEED", time.time_ns() % 1000000))
    rng = random.Random(seed)
    print(f"soak: {binary} for {minutes:g} min, seed {seed}", flush=True)
    samples, sent = [], []
    with XServer() as x:
        program = Program(x, binary)
        program.keys("n", *["plus"] * 200)  # benchmark mode first: it sets the count to 32000
        started = next_sample = time.monotonic()
        while time.monotonic() - started < minutes * 60:
            if program.process.poll() is not None:
                print(f"soak: FAIL: the program ended with {program.process.returncode}")
                return 1
            if time.monotonic() >= next_sample:
                samples.append((time.monotonic() - started, resident_kib(program.process.pid)))
                print(f"soak: {samples[-1][0]:6.0f} s  VmRSS {samples[-1][1]} kB", flush=True)
                next_sample += SAMPLE_SECONDS
            sent.append(rng.choice(COMMANDS))
            program.keys(sent[-1])
            time.sleep(rng.uniform(2, 6))
        program.stop()
    # Resident memory swings by megabytes from one reading to the next (the driver's buffers come
    # and go), so the verdict compares the lowest reading of a window at each end: a leak lifts
    # the floor.
    settled = [sample for sample in samples if sample[0] >= WARM_UP_SECONDS] or samples[-1:]
    span = min(WINDOW_SECONDS, (settled[-1][0] - settled[0][0]) / 3)
    first = min(rss for t, rss in settled if t <= settled[0][0] + span)
    last = min(rss for t, rss in settled if t >= settled[-1][0] - span)
    print(f"soak: {len(sent)} commands; lowest VmRSS in the first and last {span:.0f} s: "
          f"{first} kB and {last} kB, growth {last - first:+d} kB", flush=True)
    verdict = last - first <= ALLOWED_GROWTH_KIB
    print("soak: PASS" if verdict else f"soak: FAIL: more than {ALLOWED_GROWTH_KIB} kB", flush=True)
    return 0 if verdict else 1


if __name__ == "__main__":
    sys.exit(main(float(sys.argv[1]) if len(sys.argv) > 1 else 10,
                  sys.argv[2] if len(sys.argv) > 2 else RELEASE))
