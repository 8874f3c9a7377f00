// The display callback: one whole frame, floor, HUD and particles, then the swap.
#pragma once

// The modelview matrix of the current frame in row order; rows 0 and 1 hold the camera's
// right and up vectors. Written by Display only.
extern float viewMatrix[16];

constexpr double kSpriteHalfSize = 1.2;  // world units

void Display();

// The scene without the swap, so that a test or benchmark can read the back buffer.
void DrawScene();

// The four HUD texts of the current count, statistics and mode; part of DrawScene, and drawn on
// its own by the HUD benchmark. Leaves blending on and depth writes off.
void DrawHud();
