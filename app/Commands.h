// The user's commands: keys and menu values, the statistics resets and the benchmark toggle.
// Changes program state only; the keyboard callback performs the reshape that a key asks for.
#pragma once

constexpr int kParticleStep = 500;
constexpr int kBenchmarkParticles = 32000;

// After "+" or "-": throughput sums, average and peak to 0; fps and the frame count kept.
void ResetStatsForCountKey();
// After "N": as the count-key form, and fps to 0 as well.
void ResetStatsForBenchmark();

// Enters benchmark mode (saving the count, setting 32000, zeroing the camera angles) or leaves
// it (restoring the saved count); the statistics are reset either way.
void ToggleBenchmark();

// Acts on one key, letters in either case; every key outside the table does nothing. Returns
// true when the key changed the viewport size in the view state, which the caller then applies.
bool ApplyKey(unsigned char key);

// Acts on a menu value 1..6; every other value does nothing.
void ApplyMenu(int value);
