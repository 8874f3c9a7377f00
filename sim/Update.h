// Advances the active particles by one frame step. Touches the pool only; no GL here.
#pragma once

// Moves every active particle by dt seconds (0 or more; no clamp, no sub-steps), relaunches
// those whose life has run out from the emitter, throws those below the rebound level back up,
// and refreshes each life fraction before the life decreases. Records past particleCount are
// left alone.
void UpdateParticles(float dt);
