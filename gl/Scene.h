// The scene's GL set-up: the fixed state and pictures once, and the projection at each size.
#pragma once

// The fixed GL state, camera, clocks, seed, particles, font and the two textures; once, after
// the window exists.
void InitScene();

// The viewport and the perspective projection for a picture of width x height pixels, drawn
// into the lower-left corner of the window; a height of 0 projects as if it were 1.
void SetProjection(int width, int height);
