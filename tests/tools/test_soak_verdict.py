# The soak's verdict (tools/soak.py) on readings as a soak takes them, one every 10 s: 113 MB at
# the start, the driver's buffers filled at the next reading, a few pages of noise, and for one
# reading in seventeen the 2 MB that a command's effect holds for a moment (as a soak on llvmpipe
# at 120000 particles records them); then `extra` kB at each time.

import signal

from soak import verdict


def readings(minutes, extra):
    return [(t, (113196 if t == 0 else 169900 + 4 * (t % 7) + 2184 * (t % 170 == 160)) + extra(t))
            for t in range(0, minutes * 60, 10)]


# Minutes, the extra kB at each time, the program's status once the soak has stopped it, and
# whether the soak passes.
def test_the_soak_fails_a_death_or_settled_growth_and_only_those():
    for minutes, extra, status, passes, why in [
            (10, lambda t: 0, -signal.SIGKILL, True, "flat, killed by the soak at the end"),
            (10, lambda t: t / 4, -signal.SIGKILL, False, "1 kB per command, one every 4 s"),
            (10, lambda t: 2048 * (t >= 480), -signal.SIGKILL, False, "2 MB more from 8 min"),
            (10, lambda t: 0, -signal.SIGSEGV, False, "a crash, in the last seconds too"),
            (3, lambda t: 0, -signal.SIGKILL, True, "the shortest soak")]:
        assert verdict(readings(minutes, extra), status)[0] == passes, why
