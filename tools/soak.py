#!/usr/bin/python3
"""A long run at 120000 particles in benchmark mode, with a random command every few seconds,
under heaptrack: fails if the program dies at any moment before the soak closes it, if it does
not then end cleanly, or if its own code holds memory that it never gave back.

    soak.py [MINUTES] [BINARY]      (10 minutes of build/embervane by default; 3 at least)

The program's resident memory is no verdict: the GL driver's buffers come and go by megabytes
with what a frame shows (after "r" at 120000 particles llvmpipe holds some 4 MB until the next
viewport key), and glibc keeps freed memory for later. So heaptrack records every allocation,
and the verdict counts the bytes still allocated when the program has ended whose allocating
code, below the allocator's own frames, is the program's (a symbol of its binary): a leak of
1 kB per command leaves some 100 kB there. The driver's allocations count for nothing, even those
that the program's calls made. Resident memory is still printed at each change, with the
commands sent since the reading before, so that a step can be traced.
"""

import os
import random
import re
import subprocess
import sys
import time

from xsession import RELEASE, ROOT, Program, XServer

SHORTEST_MINUTES = 3
ALLOWED_OWN_BYTES = 4096  # what the program's own code may hold at its end
COMMANDS = ["b", "c", "f", "g", "h", "r", "B", "C", "G", "H", "1", "2"]
ALLOCATOR = re.compile(r"^(operator new|malloc|calloc|realloc|strdup|__GI_|__libc_)")


def program_symbols(binary):
    """The functions that the program's binary defines, as heaptrack names them."""
    listing = subprocess.run(["nm", "-C", "--defined-only", binary], capture_output=True,
                             text=True, check=True).stdout
    return {line.split(" ", 2)[2] for line in listing.splitlines()
            if line.split(" ")[1:2] in (["T"], ["t"], ["W"])}


def own_bytes(stacks, symbols):
    """The bytes left allocated by the program's own code, from heaptrack's flame-graph lines
    (frames from the outermost, separated by ';', then the bytes). A stack is the program's when
    its innermost frame other than the allocator's is one of the program's symbols."""
    total = 0
    for line in stacks:
        frames, _, cost = line.rstrip("\n").rpartition(" ")
        innermost = [f for f in frames.split(";") if f and not ALLOCATOR.match(f)][-1:]
        total += int(cost) if innermost and innermost[0] in symbols else 0
    return total


def resident_kib(pid):
    """The process's resident memory, or None once it has ended (a zombie has none)."""
    try:
        with open(f"/proc/{pid}/status") as status:
            return next((int(line.split()[1]) for line in status if line.startswith("VmRSS:")),
                        None)
    except FileNotFoundError:
        return None


def process_of(binary):
    """The process that runs `binary`, under heaptrack's script."""
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.path.realpath(f"/proc/{entry}/exe") == os.path.realpath(binary):
                return int(entry)
        except OSError:
            pass
    return None


def main(minutes, binary):
    if minutes < SHORTEST_MINUTES:
        print(f"soak: {minutes:g} min is too short: {SHORTEST_MINUTES} at least")
        return 2
    seed = int(os.environ.get("EMBERVANE_SOAK_SEED", 7))
    rng = random.Random(seed)
    record = os.path.join(ROOT, "build", "soak", "heaptrack")
    os.makedirs(os.path.dirname(record), exist_ok=True)
    print(f"soak: {binary} for {minutes:g} min under heaptrack, seed {seed}", flush=True)
    sent, since, ended_early = 0, [], False
    with XServer() as x:
        program = Program(x, binary, wrapper=["heaptrack", "-o", record],
                          stdout=subprocess.DEVNULL)
        pid = process_of(binary)
        program.keys("n", *["plus"] * 200)  # benchmark mode first: it sets the count to 32000
        started = time.monotonic()
        last = resident_kib(pid)
        while time.monotonic() - started < minutes * 60:
            rss = resident_kib(pid)
            if rss is None or program.process.poll() is not None:
                ended_early = True
                break
            if rss != last:
                print(f"soak: {time.monotonic() - started:6.0f} s  VmRSS {last} -> {rss} kB "
                      f"({rss - last:+d}) after {' '.join(since) or 'no command'}", flush=True)
                last = rss
            since = [rng.choice(COMMANDS)]
            program.keys(since[-1])
            sent += 1
            time.sleep(rng.uniform(2, 6))
        if not ended_early:
            program.close()
        status = program.process.wait(300)  # heaptrack finishes its record first
    print(f"soak: {sent} commands", flush=True)
    if ended_early or status != 0:
        print(f"soak: the program ended {'by itself' if ended_early else 'uncleanly'}, with "
              f"status {status}\nsoak: FAIL", flush=True)
        return 1
    subprocess.run(["heaptrack_print", "-f", record + ".zst", "--print-peaks", "0",
                    "--print-allocators", "0", "--print-temporary", "0", "--print-leaks", "0",
                    "--flamegraph-cost-type", "leaked", "-F", record + ".leaked"],
                   stdout=subprocess.DEVNULL, check=True)
    with open(record + ".leaked") as stacks:
        held = own_bytes(stacks, program_symbols(binary))
    print(f"soak: the program's own code held {held} bytes at its end "
          f"(at most {ALLOWED_OWN_BYTES})", flush=True)
    print("soak: PASS" if held <= ALLOWED_OWN_BYTES else "soak: FAIL", flush=True)
    return 0 if held <= ALLOWED_OWN_BYTES else 1


if __name__ == "__main__":
    sys.exit(main(float(sys.argv[1]) if len(sys.argv) > 1 else 10,
                  sys.argv[2] if len(sys.argv) > 2 else RELEASE))
