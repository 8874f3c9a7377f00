// The GLUT callbacks. Each translates its event and delegates; the arithmetic lives in the
// frame clock, the commands and the camera.
#pragma once

void Idle();
void Keyboard(unsigned char key, int x, int y);
void MenuSelect(int value);
void Reshape(int width, int height);
void Motion(int x, int y);
void PassiveMotion(int x, int y);

// The fixed GL state, camera, clocks, seed, particles, font and the two textures; once, after
// the window exists.
void InitScene();
