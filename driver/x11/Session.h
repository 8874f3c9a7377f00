// One run of embervane-bench: the X server (the user's, or a private Xvfb), the program on each
// side, each count driven with the program's own keys, and every line kept. POSIX and X.
#pragma once

#include "driver/BenchOptions.h"

// Runs what `options` asks; returns the exit status: 0 done, 1 the run failed (with a one-line
// message on standard error and the lines received so far kept).
int RunBench(const BenchOptions& options);
