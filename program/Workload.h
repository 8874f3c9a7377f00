// What changes benchmark mode's work, and what each change does: no turn and no summary mixes two
// workloads, and the log names each one. No GL here.
#pragma once

// The count or the picture's size was set, or benchmark mode entered: a fresh turn, a summary
// that forgets the turns before and leaves out the next, and in benchmark mode the line that
// names the run with the new workload.
void SetWorkload();

// Something else changed what a frame draws (an effect, the menu opened or closed, the window's
// return): a fresh turn, and the next completed one left out of the summary.
void DisturbWorkload();
