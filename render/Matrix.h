// The 4x4 matrix helper of the display.
#pragma once

// Transposes 16 consecutive floats in place, turning OpenGL's column order into row order;
// returns the same pointer.
float* TransposeMatrix(float* matrix);
