// The frame behind the idle callback: the statistics refresh, the simulation step and the
// benchmark orbit with its turn accounting. No GL or GLUT here; the callback adds the redisplay
// request.
#pragma once

// Starts statsTimer, then frameTimer, and measures the first frame from that moment.
void StartClocks();

// One idle call's frame, in order: the statistics refresh when more than 0.2 s have passed on
// statsTimer, the frame step from frameTimer, UpdateParticles with it, in benchmark mode the orbit
// of 50 degrees per second and its turn accounting (a completed turn printed and kept for the
// run's summary), the redisplay request, and last the frame counted toward the next refresh.
void StepFrame(void (*requestRedisplay)());

// Frames start again after a time in which none was drawn (the window hidden, covered or on
// another workspace): as if that time had not passed. The next step is measured from now, the
// statistics interval in progress and the benchmark turn in progress are dropped (the next
// completed turn is left out of the summary, as after any change of what a frame draws), and the
// average and peak keep what they had.
void ResumeFrames();
