// The benchmark orbit's pace: the camera turns by it, and a turn's accounting ends with it.
#pragma once

// Degrees per second, so one turn takes 7.2 seconds.
constexpr float kBenchmarkYawRate = 50.0f;
constexpr double kOrbitSeconds = 360.0 / kBenchmarkYawRate;
