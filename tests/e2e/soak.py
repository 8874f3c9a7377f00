#!/usr/bin/env python3
"""A long run at the top particle count in benchmark mode, with a random command every few
seconds, watching the resident memory for growth.

    soak.py BINARY [MINUTES]
"""

import os
import random
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Failure, Session, check, poll  # noqa: E402
from e2e import (DATA, SCENE, Context, close_and_expect_zero, differing,  # noqa: E402
                 expect_benchmark_hud, shot)

SAMPLE_SECONDS = 10
WARM_UP_SECONDS = 60  # memory settles (driver caches, glyph sheet) before the first reading
ALLOWED_GROWTH_KIB = 5 * 1024
WINDOW_SECONDS = 120  # each end's window for the verdict


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    binary = sys.argv[1]
    minutes = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    seed = int(os.environ.get("E2E_SEED", time.time_ns() % 1_000_000))
    rng = random.Random(seed)
    ctx = Context(binary, binary, None, 0)
    commands = ["b", "c", "f", "g", "h", "r", "B", "C", "G", "H", "1", "2"]
    samples = []
    sent = []
    print(f"soak: {binary} for {minutes:g} min, seed {seed}", flush=True)
    try:
        with Session(binary, DATA) as app:
            # Benchmark mode first: entering it sets the count, the "+" presses come after.
            app.keys("n")
            expect_benchmark_hud(ctx, app, "yellow")
            app.key_repeat("plus", 200)
            expect_benchmark_hud(ctx, app, "red", timeout=30)
            started = time.monotonic()
            next_sample = started
            next_command = started + rng.uniform(2, 6)
            while time.monotonic() - started < minutes * 60:
                now = time.monotonic()
                check(app.alive(), f"the program ended ({app.process.returncode}): "
                      f"{app.stderr_text()[-2000:]}")
                if now >= next_sample:
                    rss = app.rss_kib()
                    samples.append((now - started, rss))
                    print(f"soak: {now - started:6.0f} s  VmRSS {rss} kB", flush=True)
                    next_sample += SAMPLE_SECONDS
                if now >= next_command:
                    if rng.random() < 0.2:
                        entry = rng.randrange(2, 8)
                        app.choose_menu(entry)
                        app.park_pointer()
                        sent.append(f"menu{entry}")
                    else:
                        key = rng.choice(commands)
                        app.keys(key)
                        sent.append(key)
                    next_command = now + rng.uniform(2, 6)
                time.sleep(0.2)
            samples.append((time.monotonic() - started, app.rss_kib()))
            # Still in benchmark mode at 120000, still drawing, and it ends cleanly.
            app.keys("2")
            frame = expect_benchmark_hud(ctx, app, "red", timeout=30)
            poll(lambda: differing(frame, shot(ctx, app), SCENE) > 50, 30,
                 what="a new frame at the end")
            close_and_expect_zero(app, timeout=60)
    except Failure as failure:
        saved = ""
        if ctx.last_frame is not None:
            folder = os.environ.get("E2E_ARTEFACTS") or tempfile.mkdtemp(prefix="embervane-soak-")
            os.makedirs(folder, exist_ok=True)
            path = os.path.join(folder, "soak.ppm")
            ctx.last_frame.save_ppm(path)
            saved = f" [last frame: {path}]"
        print(f"soak: FAIL: {failure}{saved}", flush=True)
        return 1

    settled = [(t, rss) for t, rss in samples if t >= WARM_UP_SECONDS] or samples[-1:]
    start_rss, end_rss = settled[0][1], settled[-1][1]
    # Resident memory swings by several megabytes from one sample to the next (the driver's
    # buffers come and go), so single readings are compared for the report only; the verdict
    # compares the lowest reading of a window at each end: a leak lifts the floor.
    span = min(WINDOW_SECONDS, (settled[-1][0] - settled[0][0]) / 3)
    first = min(rss for t, rss in settled if t <= settled[0][0] + span)
    last = min(rss for t, rss in settled if t >= settled[-1][0] - span)
    growth = last - first
    print(f"soak: {minutes:g} min, seed {seed}, {len(sent)} commands "
          f"({', '.join(sorted(set(sent)))})", flush=True)
    print(f"soak: VmRSS after the first minute {start_rss} kB, at the end {end_rss} kB, "
          f"highest {max(rss for _, rss in settled)} kB; lowest in the first and last "
          f"{span:.0f} s {first} kB and {last} kB: growth {growth:+d} kB", flush=True)
    if growth > ALLOWED_GROWTH_KIB:
        print(f"soak: FAIL: resident memory grew by {growth} kB "
              f"(more than {ALLOWED_GROWTH_KIB} kB)", flush=True)
        return 1
    print("soak: PASS", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
