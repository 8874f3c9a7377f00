// Benchmark mode's run: the completed turns that its one-line summary covers, and the summary.
// No GL here; the frame hands it each completed turn.
#pragma once

#include <cstdio>

#include "measure/OrbitTurn.h"

// Forgets the run's turns: entering and leaving benchmark mode. The first turn kept after it is
// left out, as after a count change.
void ResetRun();

// Each benchmark frame's count: one other than the previous frame's marks the next completed
// turn as settling, to be left out.
void FollowRunCount(int particles);

// A completed turn: kept unless it is the settling one. A count other than the kept turns'
// starts the run's table afresh.
void KeepTurn(const OrbitResult& result);

// Writes the run's one-line result and flushes it, when benchmark mode ends (the "N" key, or the
// window closed while in it):
// summary particles=32000 turns=5 fps_median=33.9 kps_median=1083 kps_min=1044 kps_max=1170
// frame_ms_p99_median=35.54
// It covers the completed turns at `particles`, the count in force, since the count was last
// changed, less the first one after entering benchmark mode or after a count change, which
// carries that change's settling. Each median is by nearest rank, so it is one turn's own
// printed figure. With no such turn: "summary particles=32000 turns=0".
void PrintOrbitSummary(int particles, std::FILE* out);
