// The frame clock behind the idle callback: throughput statistics, the simulation step and the
// benchmark orbit. No GL or GLUT here; the callback adds the redisplay request.
#pragma once

// Benchmark mode's orbit: degrees per second, so one turn takes 7.2 seconds.
constexpr float kBenchmarkYawRate = 50.0f;

// Starts statsTimer, then frameTimer, and measures the first frame from that moment.
void StartClocks();

// Idle's work before the redisplay request, in order: the statistics refresh when more than
// 0.2 s have passed on statsTimer (frames and particles per second, their running average and,
// from the second refresh after a reset, their peak), the frame step from frameTimer,
// UpdateParticles with it, and in benchmark mode the orbit of 50 degrees per second.
void AdvanceFrame();

// Counts the frame that the redisplay request asked for, toward the next refresh.
void CountFrame();
