// The GLUT callbacks. Each translates its event and delegates: the rules live in the program's
// frame, commands, camera and window events, the drawing in the GL library.
#pragma once

void Idle();
// Stops the frames while the window is hidden or fully covered, and resumes them when it shows.
void WindowStatus(int state);
// The window is being closed: the process ends once this returns.
void Close();
void Keyboard(unsigned char key, int x, int y);
void MenuSelect(int value);
void MenuStatus(int status, int x, int y);
void Reshape(int width, int height);
void Motion(int x, int y);
void PassiveMotion(int x, int y);
