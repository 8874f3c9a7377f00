#!/usr/bin/python3
"""A long run at 120000 particles in benchmark mode, with a random command every few seconds,
watching the resident memory: fails if the program dies or its settled memory grows. A
measurement, too long for the test command.

    soak.py [MINUTES] [BINARY]      (10 minutes of build/embervane by default)

Resident memory rises for the first minutes while the driver's buffers fill, so the verdict
compares the lowest reading of the last third of the run with that of the middle third, and
fails on more than ALLOWED_GROWTH_KIB. Each change of resident memory is printed with the
commands sent since the reading before, so that a step can be traced to its cause.
"""

import os
import random
import sys
import time

from xsession import RELEASE, Program, XServer

SAMPLE_SECONDS = 10
ALLOWED_GROWTH_KIB = 1024
COMMANDS = ["b", "c", "f", "g", "h", "r", "B", "C", "G", "H", "1", "2"]


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))


def main(minutes, binary):
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
            if program.process.poll() is not None:
                print(f"soak: FAIL: the program ended with {program.process.returncode}")
                return 1
            now, rss = time.monotonic() - started, resident_kib(program.process.pid)
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
        program.stop()
    third = samples[-1][0] / 3
    middle = min(rss for t, rss in samples if third <= t < 2 * third)
    end = min(rss for t, rss in samples if t >= 2 * third)
    print(f"soak: {sent} commands; settled VmRSS (lowest of the middle third) {middle} kB, "
          f"lowest of the last third {end} kB, growth {end - middle:+d} kB", flush=True)
    verdict = end - middle <= ALLOWED_GROWTH_KIB
    print("soak: PASS" if verdict else f"soak: FAIL: more than {ALLOWED_GROWTH_KIB} kB", flush=True)
    return 0 if verdict else 1


if __name__ == "__main__":
    sys.exit(main(float(sys.argv[1]) if len(sys.argv) > 1 else 10,
                  sys.argv[2] if len(sys.argv) > 2 else RELEASE))
