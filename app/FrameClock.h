// The frame clock behind the idle callback: throughput statistics, the simulation step and the
// benchmark orbit. No GL or GLUT here; the callback adds the redisplay request.
#pragma once

constexpr float kStatsInterval = 0.2f;      // seconds; a refresh needs strictly more
constexpr float kBenchmarkYawRate = 50.0f;  // degrees per second

// Starts statsTimer, then frameTimer, and measures the first frame from that moment.
void StartClocks();

// When more than kStatsInterval has passed on statsTimer: frames and particles per second,
// their running average and (from the second refresh after a reset) their peak; restarts
// statsTimer. Otherwise changes nothing.
void RefreshStats();

// Idle's work before the redisplay request, in order: RefreshStats, the frame step from
// frameTimer, UpdateParticles with it, and in benchmark mode the orbit.
void AdvanceFrame();

// Counts the frame that the redisplay request asked for, toward the next refresh.
void CountFrame();
