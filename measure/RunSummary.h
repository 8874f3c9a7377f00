// Benchmark mode's run: the completed turns that its one-line summary covers, and the summary.
// No GL here; the frame hands it each completed turn, and the commands say what they changed.
#pragma once

#include <cstdio>

#include "measure/OrbitTurn.h"

// The workload was set (entering or leaving benchmark mode, the count or the picture's size): the
// summary forgets the turns before, and leaves out the next completed one, which carries the
// change's settling.
void ForgetRunTurns();

// Something else changed what a frame draws (an effect, the menu, the window's return): the next
// completed turn is left out of the summary.
void SettleNextTurn();

// A completed turn: kept for the summary unless it is the first since a change. Returns whether
// it was kept.
bool KeepTurn(const OrbitResult& result);

// Writes the run's one-line result and flushes it, when benchmark mode ends (the "N" key, the
// window closed, or the process interrupted while in it):
// summary particles=32000 turns=5 fps_median=33.9 kps_median=1083 kps_min=1044 kps_max=1170
// frame_ms_p99_median=35.54 width=640 height=480
// It covers the completed turns since the workload, `particles` drawn `width` x `height`, was
// last set, less the first one after that and after every other change of what a frame draws:
// the turns printed with summed=1 since the last "run" line. Each median is by nearest rank, so
// it is one turn's own printed figure. With no such turn: "summary particles=32000 turns=0
// width=640 height=480".
void PrintOrbitSummary(int particles, int width, int height, std::FILE* out);
